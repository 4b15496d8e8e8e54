#include "SignalControl.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace modemsim {

namespace {

constexpr std::string_view kTone = "tone";
constexpr std::string_view kCarrier = "carrier";
constexpr std::string_view kCarrierDb = "carrier-db";

// The shortest text that reads back as the same number.
std::string Number(double v) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::optional<SignalChange> Fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
  return std::nullopt;
}

std::optional<bool> OnOff(std::string_view word) {
  if (word == "on") return true;
  if (word == "off") return false;
  return std::nullopt;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
  if (text.empty() || text.find_first_of(" \t") != std::string_view::npos) return std::nullopt;
  const std::string copy(text);
  char* end = nullptr;
  const double v = std::strtod(copy.c_str(), &end);
  if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::optional<Tone> ParseTone(std::string_view text) {
  const auto colon = text.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<double> hz = ParseDecimal(text.substr(0, colon));
  const std::optional<double> db = ParseDecimal(text.substr(colon + 1));
  if (!hz || !db || std::abs(*hz) > kMaxToneOffsetHz || std::abs(*db) > kMaxLevelDb) return std::nullopt;
  return Tone{*hz, *db};
}

bool IsSignalLine(std::string_view firstWord) {
  return firstWord == kTone || firstWord == kCarrier || firstWord == kCarrierDb;
}

std::optional<SignalChange> ParseSignalLine(const std::vector<std::string_view>& words, std::string* error) {
  SignalChange change;
  const std::string_view what = words.empty() ? std::string_view() : words[0];
  if (what == kTone) {
    change.kind = SignalChange::Kind::Tone;
    const std::string usage = "expected 'tone HZ:DB [on|off]' (|HZ| up to 1e9, |DB| up to 100)";
    if (words.size() < 2 || words.size() > 3) return Fail(error, usage);
    if (words.size() == 3) {
      const std::optional<bool> on = OnOff(words[2]);
      if (!on) return Fail(error, usage);
      change.on = *on;
    }
    if (std::optional<Tone> tone = ParseTone(words[1])) {
      change.tone = *tone;
    } else if (const std::optional<double> hz = ParseDecimal(words[1]);
               !change.on && hz && std::abs(*hz) <= kMaxToneOffsetHz) {
      change.tone.offsetHz = *hz;  // switching off needs only the offset
    } else {
      return Fail(error, usage);
    }
    return change;
  }
  if (what == kCarrierDb) {
    change.kind = SignalChange::Kind::CarrierDb;
    const std::optional<double> db = words.size() == 2 ? ParseDecimal(words[1]) : std::nullopt;
    if (!db || std::abs(*db) > kMaxLevelDb) return Fail(error, "expected 'carrier-db DB' with DB from -100 to 100");
    change.db = *db;
    return change;
  }
  if (what == kCarrier) {
    change.kind = SignalChange::Kind::Carrier;
    const std::optional<bool> on = words.size() == 2 ? OnOff(words[1]) : std::nullopt;
    if (!on) return Fail(error, "expected 'carrier on' or 'carrier off'");
    change.on = *on;
    return change;
  }
  return Fail(error, "expected a signal line: tone, carrier or carrier-db");
}

void ApplySignal(SpectrumParams& params, const SignalChange& change) {
  switch (change.kind) {
    case SignalChange::Kind::Tone: {
      // A tone keeps its place in the list when its level changes.
      std::vector<Tone>& tones = params.tones;
      const auto same = [&](const Tone& t) { return t.offsetHz == change.tone.offsetHz; };
      const auto found = std::find_if(tones.begin(), tones.end(), same);
      if (change.on && found != tones.end()) {
        found->levelDb = change.tone.levelDb;
        std::erase_if(tones, [&](const Tone& t) { return same(t) && &t != &*found; });
      } else if (change.on) {
        tones.push_back(change.tone);
      } else {
        std::erase_if(tones, same);
      }
      break;
    }
    case SignalChange::Kind::CarrierDb:
      params.carrierDb = change.db;
      break;
    case SignalChange::Kind::Carrier:
      params.carrierOn = change.on;
      break;
  }
}

std::string DescribeSignal(const SpectrumParams& params) {
  std::string text = std::string(kCarrier) + (params.carrierOn ? " on\n" : " off\n");
  text += std::string(kCarrierDb) + " " + Number(params.carrierDb) + "\n";
  for (const Tone& tone : params.tones)
    text += std::string(kTone) + " " + Number(tone.offsetHz) + ":" + Number(tone.levelDb) + " on\n";
  return text;
}

}  // namespace modemsim
