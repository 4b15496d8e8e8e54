#pragma once

// Switchable faults: what the simulated modem does wrong on purpose, so
// that clients can be tested against a failing link. Faults are set from
// the command line (--fault NAME[=VALUE]) and at run time by lines written
// to the "control:" pseudo-file, which also takes the signal lines of
// SignalControl.h.

#include "SignalControl.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace modemsim {

// A count of -1 means "every one" for the two connection faults.
inline constexpr int kEveryConnection = -1;
inline constexpr int kMaxSlowMs = 600000;

struct FaultSet {
  int refuseConnections = 0;     // connections still to refuse (-1 all)
  int dropConnections = 0;       // sessions still to drop on their next command (-1 all)
  std::set<std::string> denied;  // pseudo-file names answered with 550
  bool noSize = false;
  std::optional<std::size_t> shortSpectrum;  // bytes of "spectrum:" to send
  int slowMs = 0;
  bool flashStall = false;

  bool Any() const;
  // One control line per active fault, each ending in '\n'; reading
  // "control:" returns this, and writing it back restores the same set.
  std::string Describe() const;
  bool operator==(const FaultSet&) const = default;
};

// One parsed control request: switch NAME (with VALUE) on or off, or clear.
struct FaultChange {
  std::string name;
  std::optional<std::string> value;
  bool on = true;
};

// Parses "NAME[=VALUE]" as given to --fault. Error text on failure.
std::optional<FaultChange> ParseFaultText(std::string_view text, std::string* error);

// Applies a change; false with an error text when the value is invalid.
bool ApplyFault(FaultSet& faults, const FaultChange& change, std::string* error);

// One line of a control text: a fault or a signal change.
using ControlRequest = std::variant<FaultChange, SignalChange>;

// Parses a whole control text, in order. Blank lines and lines starting
// with '#' are skipped; any other line is "fault NAME[=VALUE] [on|off]",
// "fault clear" or a signal line. On error nothing is returned and error
// names the line.
std::optional<std::vector<ControlRequest>> ParseControlRequests(std::string_view text, std::string* error);

// The same for a text of fault lines only (a signal line is an error).
std::optional<std::vector<FaultChange>> ParseControlText(std::string_view text, std::string* error);

// The grammar of faults and signal lines, for --help.
const char* FaultHelpText();

}  // namespace modemsim
