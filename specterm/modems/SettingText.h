#pragma once

// Text forms of stored settings. Every stored value is text; these convert
// it back to its type. A text that does not convert reads as the default.

#include <cstdint>
#include <string>

namespace specterm {

int IntegerSetting(const std::string& text, int defaultValue);
float SingleSetting(const std::string& text, float defaultValue);
bool BooleanSetting(const std::string& text, bool defaultValue);
// A colour 0x00BBGGRR stored as decimal text; values outside 0..0xFFFFFF
// read as the default.
std::uint32_t ColorSetting(const std::string& text, std::uint32_t defaultValue);
// Window measures are stored in the user's locale; a text in the neutral
// form (point as separator) is read as well.
float LocaleSingleSetting(const std::string& text, float defaultValue);

std::string BooleanText(bool value);        // "True" or "False"
std::string SingleText(float value);        // plain decimal, point separator, shortest exact form: "-1", "700.125"
std::string LocaleNumberText(float value);  // the same in the user's locale, without group separators
std::string ColorText(std::uint32_t color);

}  // namespace specterm
