#pragma once

// The traces as a table that a spreadsheet or a script reads as it is: one
// row per point in rising frequency, the frequency in MHz, then one column
// per shown trace in dB; a first comment line names the modem, the time of
// the data set, the centre frequency and the sample rate. Fields follow RFC
// 4180 (CR LF line ends, quotes only where a field needs them) and numbers
// always use "." whatever the locale. The modem's own export format is
// DataSetExport's; this table is beside it, not instead of it.

#include "SpectrumUpdate.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace specterm {

using DataSetClock = std::chrono::system_clock;

// Where the data set came from, for the comment line.
struct TraceCsvSource {
  std::string Modem;                             // "" when not known
  std::optional<DataSetClock::time_point> Time;  // when the data set was taken
};

// A time as ISO 8601 in UTC ("2026-12-09T13:20:01Z").
std::string IsoTime(DataSetClock::time_point time);

// One field as RFC 4180 wants it: quoted (and its quotes doubled) when it
// holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

// The table of the shown traces of state (TraceShown); the frequency comes
// from the current row's x, which every row shares point by point.
std::string TraceCsvText(const SpectrumState& state, const TraceCsvSource& source);

}  // namespace specterm
