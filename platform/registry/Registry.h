#pragma once

// The Windows registry subset the programs use, kept as one text file per
// hive in the registry export format:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Halden Spectrum Analyzer\Configuration]
//   "LastPath"="/home/user/"
//   "ImageType"=dword:0000000a
//
// Files HKEY_CURRENT_USER.reg and HKEY_LOCAL_MACHINE.reg live in the folder
// named by HALDEN_REGISTRY_DIR, else in $XDG_CONFIG_HOME/halden (default
// ~/.config/halden). Every change re-reads the file and replaces it through a
// temporary file and a rename, under an advisory lock, so a crash never leaves
// half a file and two processes never lose each other's writes. Reads see the
// file as it is on disk at the time of the call.

#include "base/WinBase.h"

#include <cstdint>
#include <string>

using HKEY = void*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Each call returns ERROR_SUCCESS or a Win32 error number, as on Windows:
// ERROR_FILE_NOT_FOUND for a missing key or value, ERROR_MORE_DATA when the
// buffer is too small (the needed size is returned in *dataSize),
// ERROR_INVALID_HANDLE for a closed key, ERROR_ACCESS_DENIED when the hive
// file cannot be written, ERROR_KEY_DELETED when the key was deleted while
// open. Key paths use backslashes and compare without regard to case.
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, REGSAM desired,
                        void* securityAttributes, PHKEY result, LPDWORD disposition);
LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, BYTE* data, LPDWORD dataSize);
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes a key that has no subkeys, as on Windows (ERROR_ACCESS_DENIED
// when it still has some).
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);
LSTATUS RegCloseKey(HKEY key);

namespace registry {
// The folder that holds the hive files, as chosen from the environment.
std::string HiveFolder();

// Groups the changes this thread makes while the batch exists into one
// replacement of each hive file. A program that saves many values at once
// (at shutdown) would otherwise rewrite and sync the file once per value.
// The hive's lock is taken at the batch's first change and held until the
// batch ends, so other processes wait rather than lose writes; reads on this
// thread see the pending changes. Commit (or the destructor) writes the
// changed hives; batches do not nest (an inner one does nothing).
class WriteBatch {
 public:
  WriteBatch();
  ~WriteBatch();
  WriteBatch(const WriteBatch&) = delete;
  WriteBatch& operator=(const WriteBatch&) = delete;
  // Writes what changed and ends the batch; false when a hive could not be
  // written (its changes are then lost, as a failed single write would be).
  bool Commit();

 private:
  bool owner_ = false;
};
}  // namespace registry
