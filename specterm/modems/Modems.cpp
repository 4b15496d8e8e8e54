#include "modems/Modems.h"

#include <QString>

#include <algorithm>

namespace specterm {

bool KeysEqual(const std::string& a, const std::string& b) {
  return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

int Modems::Find(const std::string& key) const {
  if (key.empty()) return -1;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (!items_[i].first.empty() && KeysEqual(items_[i].first, key)) return static_cast<int>(i);
  return -1;
}

Modems::ModemPtr Modems::Add(const std::string& Name, const std::string& IP_Address, bool IsThere,
                             const vb::DateTime& LastComm, std::int32_t Index, std::int32_t Recent,
                             const std::string& sKey) {
  auto modem = std::make_shared<Modem>();
  modem->Name = Name;
  modem->IP_Address = IP_Address;
  modem->IsThere = IsThere;
  modem->LastComm = LastComm;
  modem->Index = Index;
  modem->Recent = Recent;
  return AddItem(modem, sKey);
}

Modems::ModemPtr Modems::AddItem(ModemPtr NewModem, const std::string& sKey) {
  if (!NewModem) throw std::invalid_argument("no modem record");
  if (Find(sKey) >= 0) throw std::invalid_argument("a modem with the key \"" + sKey + "\" already exists");
  items_.emplace_back(sKey, NewModem);
  return NewModem;
}

Modems::ModemPtr Modems::Item(int position) const {
  if (position < 1 || position > Count()) throw std::out_of_range("no modem at position " + std::to_string(position));
  return items_[static_cast<std::size_t>(position - 1)].second;
}

Modems::ModemPtr Modems::Item(const std::string& key) const {
  const int i = Find(key);
  if (i < 0) throw std::out_of_range("no modem with the key \"" + key + "\"");
  return items_[static_cast<std::size_t>(i)].second;
}

void Modems::Remove(int position) {
  if (position < 1 || position > Count()) throw std::out_of_range("no modem at position " + std::to_string(position));
  items_.erase(items_.begin() + (position - 1));
}

void Modems::Remove(const std::string& key) {
  const int i = Find(key);
  if (i < 0) throw std::out_of_range("no modem with the key \"" + key + "\"");
  items_.erase(items_.begin() + i);
}

bool Modems::Exists(const std::string& key) const { return Find(key) >= 0; }

int Modems::Index(const std::string& name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].second->Name == name) return static_cast<int>(i) + 1;
  return 0;
}

int Modems::RenameKey(const std::string& OldKey, const std::string& NewKey) {
  std::vector<std::string> keys;
  keys.reserve(items_.size());
  int lastRenamed = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const bool renamed = items_[i].second->Name == OldKey;
    if (renamed) lastRenamed = static_cast<int>(i) + 1;
    keys.push_back(renamed ? NewKey : items_[i].second->Name);
  }
  for (std::size_t i = 0; i < keys.size(); ++i)
    for (std::size_t j = i + 1; j < keys.size(); ++j)
      if (KeysEqual(keys[i], keys[j]))
        throw std::invalid_argument("two modems would have the name \"" + keys[i] + "\"");
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].second->Name == OldKey) items_[i].second->Name = NewKey;
    items_[i].first = keys[i];
  }
  return lastRenamed;
}

void Modems::Clear() {
  while (!items_.empty()) Remove(1);
}

void Modems::SetRecent() {
  // Oldest first by the 14-digit time stamp, then by Index; ties in time
  // thus rank the higher Index as newer.
  struct RecentKey {
    std::string stamp;
    std::int32_t index;
  };
  std::vector<RecentKey> keys;
  keys.reserve(items_.size());
  for (const auto& entry : items_)
    keys.push_back({vb::FormatDate(entry.second->LastComm, "yyyymmddHhNnSs"), entry.second->Index});
  std::sort(keys.begin(), keys.end(), [](const RecentKey& a, const RecentKey& b) {
    return a.stamp != b.stamp ? a.stamp < b.stamp : a.index < b.index;
  });
  recentList_.fill(0);
  const int n = std::min(Count(), kRecentSize);
  for (int i = 1; i <= n; ++i)
    recentList_[static_cast<std::size_t>(i)] = keys[keys.size() - static_cast<std::size_t>(i)].index;
}

std::int32_t Modems::RecentList(int n) const {
  return n >= 1 && n <= kRecentSize ? recentList_[static_cast<std::size_t>(n)] : 0;
}

std::string Modems::GetRecent(int n) const {
  const std::int32_t index = RecentList(n);
  if (index == 0) return std::string();
  for (const auto& entry : items_)
    if (entry.second->Index == index) return entry.second->Name;
  return std::string();
}

}  // namespace specterm
