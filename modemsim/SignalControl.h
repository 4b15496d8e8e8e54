#pragma once

// The synthesized spectrum under run-time control: lines written to
// "control:" beside the fault lines switch a tone on or off, set the
// carrier's level, or switch the carrier on or off. A change takes effect
// with the next capture request; the block already captured is served as it
// was, so a client can tell exactly which captures carry it.

#include "SpectrumSynth.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modemsim {

// Limits of tone offsets and of levels, on the command line as at run time.
inline constexpr double kMaxToneOffsetHz = 1e9;
inline constexpr double kMaxLevelDb = 100.0;

struct SignalChange {
  enum class Kind { Tone, CarrierDb, Carrier };
  Kind kind = Kind::Tone;
  Tone tone;        // Kind::Tone: the offset; the level when switched on
  double db = 0.0;  // Kind::CarrierDb
  bool on = true;   // Kind::Tone and Kind::Carrier
  bool operator==(const SignalChange&) const = default;
};

// A finite decimal number ("2.5e6" too); nothing for anything else.
std::optional<double> ParseDecimal(std::string_view text);

// "HZ:DB" as --tone and the tone line take it (HZ may carry a sign).
std::optional<Tone> ParseTone(std::string_view text);

// Whether a control line's first word names a signal line.
bool IsSignalLine(std::string_view firstWord);

// One signal line, split into words: "tone HZ:DB [on]", "tone HZ[:DB] off",
// "carrier-db DB", "carrier on|off". Error text on failure.
std::optional<SignalChange> ParseSignalLine(const std::vector<std::string_view>& words, std::string* error);

// A tone switched on replaces any tone at the same offset; switched off, it
// removes every tone at that offset (there may be none).
void ApplySignal(SpectrumParams& params, const SignalChange& change);

// The signal as control lines ("carrier on", "carrier-db 30", one
// "tone HZ:DB on" per tone), each ending in '\n'; writing them back
// restores the same signal.
std::string DescribeSignal(const SpectrumParams& params);

}  // namespace modemsim
