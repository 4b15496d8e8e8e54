#pragma once

// One registry key of the program. Every operation opens (or creates) the
// key, acts and closes it again; failures throw WinException.

#include "TextBuf.h"
#include "base/WinBase.h"

#include <optional>

// Where the re-flash remembers its last image file and target.
inline constexpr const char* kOrbscopeRegistryPath = "SOFTWARE\\Tavlor\\Orbscope";

class CRegistryKey {
 public:
  // Nonzero currentUser: HKEY_CURRENT_USER, zero: HKEY_LOCAL_MACHINE. A null
  // subKey makes every operation throw "Invalid Registry Key.".
  CRegistryKey(int currentUser, const char* subKey);

  // At most 1023 characters; the text also stays as LastText().
  const char* ReadText(const char* valueName);
  DWORD ReadDword(const char* valueName);
  void WriteText(const char* valueName, const char* text);
  void WriteDword(const char* valueName, DWORD value);

  const char* LastText() const { return lastText_.Text(); }

 private:
  const char* RequireSubKey() const;
  void Write(const char* valueName, DWORD type, const BYTE* data, DWORD size);

  bool currentUser_;
  std::optional<CTextBuf> subKey_;
  CTextBuf lastText_;
};
