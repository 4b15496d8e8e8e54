#pragma once

// The four routines through which all of the analyzer's persisted state is
// read and written: text values under HKEY_CURRENT_USER\Software\<AppTitle>.
// They never fail towards the caller: a missing key or value reads as the
// default, and failures of writing or deleting are ignored.

#include "registry/Registry.h"

#include <string>

namespace specterm {

// The program's title and the name of its registry key.
inline constexpr const char* kAppTitle = "Halden Spectrum Analyzer";

// The title in use; start-up sets it before anything touches the registry.
extern std::string AppTitle;

// The value's text, or defaultText when the key or value is missing or the
// stored text is empty.
std::string GetRegSetting(const std::string& subKey, const std::string& valueName, const std::string& defaultText);

// Creates the key as needed and stores the text as a string value; returns
// the result of closing the key.
LSTATUS SaveRegSetting(const std::string& subKey, const std::string& valueName, const std::string& text);

void DeleteRegValue(const std::string& subKey, const std::string& valueName);

// Whether the key exists.
bool RegKeyExists(const std::string& subKey);

// Deletes keyName below parentSubKey.
void DeleteRegKey(const std::string& parentSubKey, const std::string& keyName);

}  // namespace specterm
