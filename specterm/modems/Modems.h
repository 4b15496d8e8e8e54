#pragma once

// The modem directory: an ordered collection of modem records, keyed by name
// without regard to letter case, and the list of the recently monitored
// modems derived from their last-communication times.

#include "modems/Modem.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace specterm {

class Modems {
 public:
  using ModemPtr = std::shared_ptr<Modem>;
  static constexpr int kRecentSize = 10;

  // Creates a record with the six properties and appends it under sKey
  // (without a key when sKey is empty). A key already in use is refused
  // with std::invalid_argument and nothing is added.
  ModemPtr Add(const std::string& Name, const std::string& IP_Address, bool IsThere, const vb::DateTime& LastComm,
               std::int32_t Index, std::int32_t Recent, const std::string& sKey);
  ModemPtr AddItem(ModemPtr NewModem, const std::string& sKey);

  // By 1-based position or by key; a missing one throws std::out_of_range.
  ModemPtr Item(int position) const;
  ModemPtr Item(const std::string& key) const;
  int Count() const { return static_cast<int>(items_.size()); }
  void Remove(int position);
  void Remove(const std::string& key);
  bool Exists(const std::string& key) const;
  // Position of the first record whose Name equals name exactly, or 0.
  int Index(const std::string& name) const;
  // 1-based position of the record keyed key (letter case aside), or 0.
  int Position(const std::string& key) const { return Find(key) + 1; }
  // Renames every record named OldKey to NewKey and keys every record by its
  // name; returns the position of the last renamed record, or 0. A rename
  // that would give two records the same key throws std::invalid_argument
  // and changes nothing.
  int RenameKey(const std::string& OldKey, const std::string& NewKey);
  void Clear();

  // Rebuilds the recent list: the Index values of the ten newest records by
  // LastComm, newest first (ties: the higher Index is newer).
  void SetRecent();
  // Name of the n-th recent modem (1..min(Count, 10)); empty when none.
  std::string GetRecent(int n) const;
  // Entry n (1..10) of the recent list; 0 when unused.
  std::int32_t RecentList(int n) const;

  // Iteration in collection order.
  class Iterator {
   public:
    using Inner = std::vector<std::pair<std::string, ModemPtr>>::const_iterator;
    explicit Iterator(Inner it) : it_(it) {}
    const ModemPtr& operator*() const { return it_->second; }
    Iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return it_ != other.it_; }

   private:
    Inner it_;
  };
  Iterator begin() const { return Iterator(items_.begin()); }
  Iterator end() const { return Iterator(items_.end()); }

 private:
  int Find(const std::string& key) const;  // 0-based, -1 when missing

  // (key, record); an empty key is a record added without one.
  std::vector<std::pair<std::string, ModemPtr>> items_;
  std::array<std::int32_t, kRecentSize + 1> recentList_{};
};

// Letter case does not matter in keys.
bool KeysEqual(const std::string& a, const std::string& b);

}  // namespace specterm
