#pragma once

// The table behind every HINTERNET. A handle value carries a slot index and
// the slot's generation, so a handle that was closed (or a stale copy of
// it) never reaches the object that later reuses the slot. Objects form the
// WinINet tree session -> connection -> file/find; removing a handle removes
// its descendants with it.

#include "wininet/WinInet.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace wininet {

enum class HandleKind { Session, Connection, File, Find };

// Base of every object behind a handle.
class InternetObject {
 public:
  explicit InternetObject(HandleKind kind) : kind_(kind) {}
  virtual ~InternetObject() = default;
  InternetObject(const InternetObject&) = delete;
  InternetObject& operator=(const InternetObject&) = delete;

  HandleKind Kind() const { return kind_; }

  // Set when the handle leaves the table: calls still running on another
  // thread give up as soon as they notice.
  bool Cancelled() const { return cancelled_.load(); }
  const std::atomic<bool>* CancelFlag() const { return &cancelled_; }
  void Cancel() {
    cancelled_.store(true);
    Wake();
  }

  // Releases what the object holds. direct: the caller closed this very
  // handle (rather than its parent). Returns ERROR_SUCCESS or the error
  // that InternetCloseHandle reports (an upload the server refused).
  virtual DWORD Close(bool direct) = 0;

 protected:
  // Interrupts a blocking wait of a call on another thread.
  virtual void Wake() {}

 private:
  HandleKind kind_;
  std::atomic<bool> cancelled_{false};
};

class HandleTable {
 public:
  // Slots in the table; more live handles than this is
  // ERROR_INTERNET_OUT_OF_HANDLES.
  static constexpr std::uint32_t kSlotCount = 4095;

  static HandleTable& Instance();

  // Enters the object under its parent (nullptr for a session). Returns 0
  // and sets error when the table is full or the parent is no longer open.
  HINTERNET Insert(std::shared_ptr<InternetObject> object, HINTERNET parent, DWORD& error);

  // The live object behind a handle, or nullptr (error set to
  // ERROR_INVALID_HANDLE, or ERROR_INTERNET_INCORRECT_HANDLE_TYPE when the
  // handle is live but of another kind).
  std::shared_ptr<InternetObject> Lookup(HINTERNET handle, HandleKind kind, DWORD& error) const;

  // Takes the handle and all its descendants out of the table and cancels
  // them; returns them children first, the handle itself last. Empty when the
  // handle is not live.
  std::vector<std::shared_ptr<InternetObject>> Remove(HINTERNET handle);

 private:
  struct Slot {
    std::uint32_t generation = 0;
    std::shared_ptr<InternetObject> object;
    std::uint32_t parent = 0;  // handle value, 0 for none
    std::vector<std::uint32_t> children;
  };

  HandleTable();
  Slot* Find(std::uint32_t value);
  const Slot* Find(std::uint32_t value) const;
  void CollectLocked(std::uint32_t value, std::vector<std::shared_ptr<InternetObject>>& out);

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<std::uint32_t> freeSlots_;  // used as a FIFO ring: slots rest before reuse
  std::size_t freeHead_ = 0;
};

}  // namespace wininet
