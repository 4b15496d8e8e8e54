#include "registry/Registry.h"

#include "registry/HiveStore.h"

#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>

using registry::detail::Hive;
using registry::detail::Key;
using registry::detail::KeyPath;
using registry::detail::Root;
using registry::detail::Value;

namespace {

// An open key: which hive, which path, with which rights. Keys are found by
// path on every call, so a key deleted by anyone is seen as deleted.
struct OpenKey {
  Root root = Root::CurrentUser;
  KeyPath path;
  REGSAM access = KEY_ALL_ACCESS;
};

// Handles of opened keys. Values are never reused, so a stale or twice
// closed handle is simply unknown, and never names a newer key.
class HandleTable {
 public:
  HKEY Add(OpenKey key) {
    const std::lock_guard<std::mutex> guard(mutex_);
    next_ += HandleStep;
    // Stay clear of the predefined root values.
    if (next_ >= PredefinedFirst && next_ <= PredefinedLast) next_ = PredefinedLast + HandleStep;
    keys_.emplace(next_, std::move(key));
    return reinterpret_cast<HKEY>(next_);
  }

  std::optional<OpenKey> Get(HKEY handle) const {
    const std::lock_guard<std::mutex> guard(mutex_);
    const auto it = keys_.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == keys_.end()) return std::nullopt;
    return it->second;
  }

  bool Remove(HKEY handle) {
    const std::lock_guard<std::mutex> guard(mutex_);
    return keys_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
  }

 private:
  static constexpr std::uintptr_t HandleStep = 4;
  static constexpr std::uintptr_t PredefinedFirst = 0x80000000u;
  static constexpr std::uintptr_t PredefinedLast = 0x800000FFu;
  mutable std::mutex mutex_;
  std::unordered_map<std::uintptr_t, OpenKey> keys_;
  std::uintptr_t next_ = 0x1000;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

std::optional<OpenKey> Resolve(HKEY handle) {
  if (handle == HKEY_CURRENT_USER) return OpenKey{Root::CurrentUser, {}, KEY_ALL_ACCESS};
  if (handle == HKEY_LOCAL_MACHINE) return OpenKey{Root::LocalMachine, {}, KEY_ALL_ACCESS};
  if (handle == HKEY_CLASSES_ROOT) return OpenKey{Root::ClassesRoot, {}, KEY_ALL_ACCESS};
  return Handles().Get(handle);
}

bool IsPredefined(HKEY handle) {
  return handle == HKEY_CURRENT_USER || handle == HKEY_LOCAL_MACHINE || handle == HKEY_CLASSES_ROOT;
}

bool Allows(const OpenKey& key, REGSAM right) { return (key.access & right) == right; }

// Value names hold no line breaks: a line of the hive file holds one value.
bool UsableValueName(const char* name) {
  return name == nullptr || (std::strchr(name, '\n') == nullptr && std::strchr(name, '\r') == nullptr);
}

// The parent's path followed by the names of subKey.
bool ChildPath(const OpenKey& parent, LPCSTR subKey, KeyPath& path) {
  KeyPath below;
  if (subKey != nullptr && !registry::detail::SplitPath(subKey, below)) return false;
  path = parent.path;
  path.insert(path.end(), below.begin(), below.end());
  return true;
}

// The stored data as RegQueryValueExA hands it out: texts with their NUL.
std::string QueryBytes(const Value& value) { return value.type == REG_SZ ? value.data + '\0' : value.data; }

}  // namespace

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM desired, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  const auto parent = Resolve(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  KeyPath path;
  if (!ChildPath(*parent, subKey, path)) return ERROR_FILE_NOT_FOUND;
  std::shared_ptr<const Hive> hive;
  if (const LSTATUS status = registry::detail::ReadHive(parent->root, hive); status != ERROR_SUCCESS) return status;
  if (hive->Find(parent->path) == nullptr) return ERROR_KEY_DELETED;
  const Key* found = hive->Find(path);
  if (found == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = Handles().Add(OpenKey{parent->root, found->path, desired});
  return ERROR_SUCCESS;
}

LSTATUS RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  return RegOpenKeyExA(key, subKey, 0, KEY_ALL_ACCESS, result);
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD /*reserved*/, LPSTR /*className*/, DWORD /*options*/,
                        REGSAM desired, void* /*securityAttributes*/, PHKEY result, LPDWORD disposition) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  const auto parent = Resolve(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  KeyPath path;
  if (!ChildPath(*parent, subKey, path)) return ERROR_INVALID_PARAMETER;
  bool created = false;
  KeyPath spelled;
  const LSTATUS status = registry::detail::UpdateHive(parent->root, [&](Hive& hive, bool& changed) -> LONG {
    if (hive.Find(parent->path) == nullptr) return ERROR_KEY_DELETED;
    if (const Key* existing = hive.Find(path)) {
      spelled = existing->path;
      return ERROR_SUCCESS;
    }
    if (!Allows(*parent, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    spelled = hive.Create(path, &created).path;
    changed = true;
    return ERROR_SUCCESS;
  });
  if (status != ERROR_SUCCESS) return status;
  if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = Handles().Add(OpenKey{parent->root, spelled, desired});
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  return RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, result, nullptr);
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD /*reserved*/, LPDWORD type, BYTE* data, LPDWORD dataSize) {
  const auto open = Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!Allows(*open, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<const Hive> hive;
  if (const LSTATUS status = registry::detail::ReadHive(open->root, hive); status != ERROR_SUCCESS) return status;
  const Key* found = hive->Find(open->path);
  if (found == nullptr) return ERROR_KEY_DELETED;
  const Value* value = Hive::FindValue(*found, valueName != nullptr ? valueName : "");
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  if (type != nullptr) *type = value->type;
  const std::string bytes = QueryBytes(*value);
  const DWORD needed = static_cast<DWORD>(bytes.size());
  if (data != nullptr && *dataSize < needed) {
    *dataSize = needed;
    return ERROR_MORE_DATA;
  }
  if (data != nullptr) std::memcpy(data, bytes.data(), bytes.size());
  if (dataSize != nullptr) *dataSize = needed;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD dataSize) {
  const auto open = Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!Allows(*open, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if ((data == nullptr && dataSize > 0) || !UsableValueName(valueName)) return ERROR_INVALID_PARAMETER;
  Value value;
  value.name = valueName != nullptr ? valueName : "";
  value.type = type;
  if (data != nullptr) value.data.assign(reinterpret_cast<const char*>(data), dataSize);
  // A text is kept without the terminating NUL that its size counts.
  if (type == REG_SZ && !value.data.empty() && value.data.back() == '\0') value.data.pop_back();
  return registry::detail::UpdateHive(open->root, [&](Hive& hive, bool& changed) -> LONG {
    Key* found = hive.Find(open->path);
    if (found == nullptr) return ERROR_KEY_DELETED;
    const Value* old = Hive::FindValue(*found, value.name);
    changed = old == nullptr || old->type != value.type || old->data != value.data;
    if (changed) Hive::SetValue(*found, value);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName) {
  const auto open = Resolve(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (!Allows(*open, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  const std::string name = valueName != nullptr ? valueName : "";
  return registry::detail::UpdateHive(open->root, [&](Hive& hive, bool& changed) -> LONG {
    Key* found = hive.Find(open->path);
    if (found == nullptr) return ERROR_KEY_DELETED;
    if (!Hive::EraseValue(*found, name)) return ERROR_FILE_NOT_FOUND;
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  const auto parent = Resolve(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  KeyPath path;
  if (!ChildPath(*parent, subKey, path)) return ERROR_FILE_NOT_FOUND;
  if (path.empty()) return ERROR_ACCESS_DENIED;  // a hive root stays
  return registry::detail::UpdateHive(parent->root, [&](Hive& hive, bool& changed) -> LONG {
    if (hive.Find(parent->path) == nullptr) return ERROR_KEY_DELETED;
    if (hive.Find(path) == nullptr) return ERROR_FILE_NOT_FOUND;
    if (hive.HasSubkeys(path)) return ERROR_ACCESS_DENIED;
    hive.Erase(path);
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegCloseKey(HKEY key) {
  if (IsPredefined(key)) return ERROR_SUCCESS;
  return Handles().Remove(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
