#include "modems/IpAddress.h"

#include <algorithm>
#include <cstdint>

namespace specterm {
namespace {

constexpr std::uint64_t kSectionMax = 255;
constexpr std::uint64_t kPortMax = 65535;
constexpr int kDots = 3;

// The number the leading digits give; large numbers stop growing past any
// limit that matters here.
std::uint64_t DecimalPrefix(std::string_view text) {
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), 1'000'000);
  }
  return value;
}

bool ValidPort(std::string_view port) {
  if (port.empty() || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  const std::uint64_t value = DecimalPrefix(port);
  return value >= 1 && value <= kPortMax;
}

}  // namespace

AddressCheck CheckIpAddress(std::string_view text) {
  std::string_view address = text;
  const std::size_t colon = text.find(':');
  if (colon != std::string_view::npos) address = text.substr(0, colon);
  int dots = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = address.find('.', start);
    const std::string_view section = address.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (DecimalPrefix(section) > kSectionMax) return AddressCheck::SectionOutOfRange;
    if (dot == std::string_view::npos) break;
    ++dots;
    start = dot + 1;
  }
  if (dots != kDots) return AddressCheck::WrongSectionCount;
  if (colon != std::string_view::npos && !ValidPort(text.substr(colon + 1))) return AddressCheck::PortOutOfRange;
  return AddressCheck::Valid;
}

const char* AddressCheckMessage(AddressCheck check) {
  switch (check) {
    case AddressCheck::SectionOutOfRange:
      return "One or more address sections for this IP address are out of range!";
    case AddressCheck::WrongSectionCount:
      return "There are an incorrect amount of address sections for this IP address!";
    case AddressCheck::PortOutOfRange:
      return "The port number of this IP address is out of range!";
    case AddressCheck::Valid:
      break;
  }
  return "";
}

}  // namespace specterm
