#pragma once

// The check of a modem's address as the properties dialog takes it: four
// decimal sections of 0..255 between three dots, and optionally ":" and a
// port number (a simulator listens on a port of its own).

#include <string_view>

namespace specterm {

enum class AddressCheck {
  Valid,
  SectionOutOfRange,  // a section above 255
  WrongSectionCount,  // not exactly three dots
  PortOutOfRange,     // a port that is no number of 1..65535
};

// Sections are read as a decimal prefix: an empty or non-numeric section
// counts as 0. The scan stops at the first section above 255.
AddressCheck CheckIpAddress(std::string_view text);

// The message for a failed check (empty for Valid), shown under this title.
const char* AddressCheckMessage(AddressCheck check);
inline constexpr const char* kInvalidAddressTitle = "Invalid IP Address";

}  // namespace specterm
