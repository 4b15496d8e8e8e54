#include "TraceCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <numeric>

namespace specterm {
namespace {

constexpr const char* kLineEnd = "\r\n";

// The column names of the rows in column order.
constexpr std::array<std::pair<int, const char*>, kTraceRows> kColumns = {{
    {kCurrentRow, "current_db"},
    {kPreviousRow, "previous_db"},
    {kVideoAverageRow, "average_db"},
    {kPeakHoldRow, "peak_hold_db"},
}};

// Enough significant digits to keep every bit of a single-precision plot x.
constexpr int kFrequencyDigits = 9;

void AppendNumber(std::string& out, float value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  out.append(buffer.data(), result.ptr);
}

void AppendNumber(std::string& out, double value, int digits) {
  std::array<char, 32> buffer{};
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, digits);
  out.append(buffer.data(), result.ptr);
}

// Plot x units (0.1 MHz x SpanScale) to MHz.
double Megahertz(float plotX, float spanScale) { return static_cast<double>(plotX) / 10.0 / spanScale; }

}  // namespace

std::string IsoTime(DataSetClock::time_point time) {
  const std::time_t seconds = DataSetClock::to_time_t(time);
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  std::array<char, 32> buffer{};
  const std::size_t n = std::strftime(buffer.data(), buffer.size(), "%Y-%m-%dT%H:%M:%SZ", &utc);
  return std::string(buffer.data(), n);
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string TraceCsvText(const SpectrumState& state, const TraceCsvSource& source) {
  const SampleBlock& block = state.Block;
  const TraceStore& traces = state.Traces;
  std::string out;
  out.reserve(kPointCount * 48);

  // A comment line cannot hold a line break of the modem's name.
  std::string modem = source.Modem;
  std::replace_if(
      modem.begin(), modem.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  out += "# modem: ";
  out += modem.empty() ? std::string("\"\"") : CsvField(modem);
  out += ", time: ";
  out += source.Time ? IsoTime(*source.Time) : std::string("unknown");
  out += ", center frequency: ";
  AppendNumber(out, block.CenterFreq / 10.0, kFrequencyDigits);
  out += " MHz, sample rate: ";
  AppendNumber(out, block.SampleRate / 10.0, kFrequencyDigits);
  out += " MHz";
  out += kLineEnd;

  out += "frequency_mhz";
  for (const auto& [row, name] : kColumns)
    if (traces.TraceShown[static_cast<std::size_t>(row)]) {
      out += ',';
      out += name;
    }
  out += kLineEnd;

  // The store keeps the transform's order (positive frequencies first).
  const TraceStore::Row& x = traces.TraceX[kCurrentRow];
  std::array<std::size_t, kPointCount> order{};
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&x](std::size_t a, std::size_t b) { return x[a] < x[b]; });
  for (const std::size_t p : order) {
    AppendNumber(out, Megahertz(x[p], block.SpanScale), kFrequencyDigits);
    for (const auto& [row, name] : kColumns) {
      const auto r = static_cast<std::size_t>(row);
      if (!traces.TraceShown[r]) continue;
      out += ',';
      AppendNumber(out, traces.TraceY[r][p]);
    }
    out += kLineEnd;
  }
  return out;
}

}  // namespace specterm
