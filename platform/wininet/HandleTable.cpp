#include "wininet/HandleTable.h"

#include <algorithm>

namespace wininet {

namespace {

// A handle value is generation * kGenerationStep + slot + 1: never 0, and
// below 2^31 so that callers that keep handles as signed 32-bit values see
// them positive.
constexpr std::uint32_t kGenerationStep = 4096;
constexpr std::uint32_t kGenerationLimit = (1u << 31) / kGenerationStep;

std::uint32_t ValueOf(HINTERNET handle) {
  const auto raw = reinterpret_cast<std::uintptr_t>(handle);
  return raw > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(raw);
}

HINTERNET HandleOf(std::uint32_t value) { return reinterpret_cast<HINTERNET>(static_cast<std::uintptr_t>(value)); }

}  // namespace

HandleTable& HandleTable::Instance() {
  static HandleTable table;
  return table;
}

HandleTable::HandleTable() : slots_(kSlotCount) {
  freeSlots_.reserve(kSlotCount);
  for (std::uint32_t i = 0; i < kSlotCount; ++i) freeSlots_.push_back(i);
}

HandleTable::Slot* HandleTable::Find(std::uint32_t value) {
  return const_cast<Slot*>(static_cast<const HandleTable*>(this)->Find(value));
}

const HandleTable::Slot* HandleTable::Find(std::uint32_t value) const {
  if (value == 0) return nullptr;
  const std::uint32_t index = (value - 1) % kGenerationStep;
  const std::uint32_t generation = (value - 1) / kGenerationStep;
  if (index >= slots_.size()) return nullptr;
  const Slot& slot = slots_[index];
  if (slot.object == nullptr || slot.generation != generation) return nullptr;
  return &slot;
}

HINTERNET HandleTable::Insert(std::shared_ptr<InternetObject> object, HINTERNET parent, DWORD& error) {
  std::lock_guard lock(mutex_);
  const std::uint32_t parentValue = ValueOf(parent);
  Slot* parentSlot = nullptr;
  if (parent != nullptr) {
    parentSlot = Find(parentValue);
    if (parentSlot == nullptr) {
      error = ERROR_INVALID_HANDLE;
      return nullptr;
    }
  }
  if (freeHead_ == freeSlots_.size()) {
    error = ERROR_INTERNET_OUT_OF_HANDLES;
    return nullptr;
  }
  const std::uint32_t index = freeSlots_[freeHead_++];
  if (freeHead_ > freeSlots_.size() / 2) {
    freeSlots_.erase(freeSlots_.begin(), freeSlots_.begin() + static_cast<std::ptrdiff_t>(freeHead_));
    freeHead_ = 0;
  }
  Slot& slot = slots_[index];
  slot.generation = (slot.generation + 1) % kGenerationLimit;
  slot.object = std::move(object);
  slot.parent = parentSlot != nullptr ? parentValue : 0;
  slot.children.clear();
  const std::uint32_t value = slot.generation * kGenerationStep + index + 1;
  if (parentSlot != nullptr) parentSlot->children.push_back(value);
  return HandleOf(value);
}

std::shared_ptr<InternetObject> HandleTable::Lookup(HINTERNET handle, HandleKind kind, DWORD& error) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = Find(ValueOf(handle));
  if (slot == nullptr) {
    error = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (slot->object->Kind() != kind) {
    error = ERROR_INTERNET_INCORRECT_HANDLE_TYPE;
    return nullptr;
  }
  return slot->object;
}

void HandleTable::CollectLocked(std::uint32_t value, std::vector<std::shared_ptr<InternetObject>>& out) {
  Slot* slot = Find(value);
  if (slot == nullptr) return;
  // Copy: the recursion edits the children's slots, not this list.
  const std::vector<std::uint32_t> children = slot->children;
  for (std::uint32_t child : children) CollectLocked(child, out);
  out.push_back(std::move(slot->object));
  slot->object.reset();
  slot->children.clear();
  slot->parent = 0;
  freeSlots_.push_back(static_cast<std::uint32_t>(slot - slots_.data()));
}

std::vector<std::shared_ptr<InternetObject>> HandleTable::Remove(HINTERNET handle) {
  std::vector<std::shared_ptr<InternetObject>> removed;
  {
    std::lock_guard lock(mutex_);
    const std::uint32_t value = ValueOf(handle);
    Slot* slot = Find(value);
    if (slot == nullptr) return removed;
    if (Slot* parent = Find(slot->parent); parent != nullptr) {
      auto& siblings = parent->children;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), value), siblings.end());
    }
    CollectLocked(value, removed);
  }
  for (auto& object : removed) object->Cancel();
  return removed;
}

}  // namespace wininet
