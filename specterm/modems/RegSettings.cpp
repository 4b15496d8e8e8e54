#include "modems/RegSettings.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace specterm {

std::string AppTitle = kAppTitle;

namespace {

std::string RootPath() { return "Software\\" + AppTitle; }

std::string KeyPath(const std::string& subKey) { return subKey.empty() ? RootPath() : RootPath() + "\\" + subKey; }

// Closes the key on every way out.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() { Close(); }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }
  bool IsOpen() const { return key_ != nullptr; }
  LSTATUS Close() {
    if (key_ == nullptr) return ERROR_SUCCESS;
    const LSTATUS status = RegCloseKey(key_);
    key_ = nullptr;
    return status;
  }

 private:
  HKEY key_ = nullptr;
};

// The registry's classic read buffer; a longer text is read whole with a
// second query rather than lost.
constexpr DWORD kReadBufferSize = 1024;

}  // namespace

std::string GetRegSetting(const std::string& subKey, const std::string& valueName, const std::string& defaultText) {
  OpenKey key;
  if (RegOpenKeyA(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), key.Out()) != ERROR_SUCCESS) return defaultText;
  std::vector<BYTE> buffer(kReadBufferSize);
  DWORD type = REG_NONE;
  DWORD size = static_cast<DWORD>(buffer.size());
  LSTATUS status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, buffer.data(), &size);
  if (status == ERROR_MORE_DATA) {
    buffer.resize(size);
    status = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type, buffer.data(), &size);
  }
  if (status != ERROR_SUCCESS) return defaultText;
  std::string text;
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    std::memcpy(&number, buffer.data(), sizeof number);
    text = std::to_string(number);
  } else {
    text.assign(reinterpret_cast<const char*>(buffer.data()), std::min<std::size_t>(size, buffer.size()));
    const auto nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
  }
  return text.empty() ? defaultText : text;
}

LSTATUS SaveRegSetting(const std::string& subKey, const std::string& valueName, const std::string& text) {
  OpenKey root;
  if (RegCreateKeyA(HKEY_CURRENT_USER, RootPath().c_str(), root.Out()) != ERROR_SUCCESS) return ERROR_BADKEY;
  OpenKey key;
  if (RegCreateKeyA(root.Get(), subKey.c_str(), key.Out()) != ERROR_SUCCESS) return ERROR_BADKEY;
  RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  return key.Close();
}

void DeleteRegValue(const std::string& subKey, const std::string& valueName) {
  OpenKey key;
  if (RegOpenKeyA(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), key.Out()) != ERROR_SUCCESS) return;
  RegDeleteValueA(key.Get(), valueName.c_str());
}

bool RegKeyExists(const std::string& subKey) {
  OpenKey key;
  return RegOpenKeyA(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), key.Out()) == ERROR_SUCCESS;
}

void DeleteRegKey(const std::string& parentSubKey, const std::string& keyName) {
  OpenKey key;
  if (RegOpenKeyA(HKEY_CURRENT_USER, KeyPath(parentSubKey).c_str(), key.Out()) != ERROR_SUCCESS) return;
  RegDeleteKeyA(key.Get(), keyName.c_str());
}

}  // namespace specterm
