#include "RegistryKey.h"

#include "WinException.h"
#include "registry/Registry.h"

#include <algorithm>

namespace {
// The text buffer of a read, terminator included.
constexpr DWORD kTextBufferSize = 1024;

// Closes the key when the operation ends, however it ends.
class OpenKey {
 public:
  OpenKey() = default;
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  PHKEY Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// The registry calls return their error instead of setting the last error;
// the exception carries it as its code.
[[noreturn]] void Fail(LSTATUS status, const char* format, const char* name) {
  SetLastError(static_cast<DWORD>(status));
  throw WinException::Formatted(format, name);
}
}  // namespace

CRegistryKey::CRegistryKey(int currentUser, const char* subKey) : currentUser_(currentUser != 0) {
  if (subKey != nullptr) subKey_.emplace(subKey);
}

const char* CRegistryKey::RequireSubKey() const {
  if (!subKey_) throw WinException("Invalid Registry Key.");
  return subKey_->Text();
}

const char* CRegistryKey::ReadText(const char* valueName) {
  const char* path = RequireSubKey();
  OpenKey key;
  LSTATUS status =
      RegOpenKeyExA(currentUser_ ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Receive());
  if (status != ERROR_SUCCESS) Fail(status, "Registry key %s was not found.", path);
  char buffer[kTextBufferSize] = {};
  DWORD type = REG_NONE;
  DWORD size = kTextBufferSize;
  status = RegQueryValueExA(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (status != ERROR_SUCCESS) Fail(status, "Registry value %s was not found.", valueName);
  if (type != REG_SZ) Fail(ERROR_FILE_INVALID, "Registry value %s is not type REG_SZ.", valueName);
  lastText_ = CTextBuf(buffer, static_cast<int>(std::min<DWORD>(size, kTextBufferSize - 1)));
  return lastText_.Text();
}

DWORD CRegistryKey::ReadDword(const char* valueName) {
  const char* path = RequireSubKey();
  OpenKey key;
  LSTATUS status =
      RegOpenKeyExA(currentUser_ ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Receive());
  if (status != ERROR_SUCCESS) Fail(status, "Registry key %s was not found.", path);
  // Ask for the type first, so a text of any length is reported as the
  // wrong type rather than as missing.
  DWORD type = REG_NONE;
  DWORD size = 0;
  status = RegQueryValueExA(key.Get(), valueName, nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) Fail(status, "Registry value %s was not found.", valueName);
  if (type != REG_DWORD) Fail(ERROR_FILE_INVALID, "Registry value %s is not type REG_DWORD.", valueName);
  DWORD value = 0;
  size = sizeof value;
  status = RegQueryValueExA(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (status != ERROR_SUCCESS) Fail(status, "Registry value %s was not found.", valueName);
  return value;
}

void CRegistryKey::Write(const char* valueName, DWORD type, const BYTE* data, DWORD size) {
  const char* path = RequireSubKey();
  OpenKey key;
  char emptyClass[] = "";
  DWORD disposition = 0;
  LSTATUS status = RegCreateKeyExA(currentUser_ ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, path, 0, emptyClass,
                                   REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Receive(), &disposition);
  if (status != ERROR_SUCCESS) Fail(status, "Registry key %s was not found.", path);
  status = RegSetValueExA(key.Get(), valueName, 0, type, data, size);
  if (status != ERROR_SUCCESS) Fail(status, "Error setting Registry value %s.", valueName);
}

void CRegistryKey::WriteText(const char* valueName, const char* text) {
  const CTextBuf value(text);
  // The stored size counts the terminating NUL.
  Write(valueName, REG_SZ, reinterpret_cast<const BYTE*>(value.Text()), static_cast<DWORD>(value.Length() + 1));
}

void CRegistryKey::WriteDword(const char* valueName, DWORD value) {
  Write(valueName, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}
