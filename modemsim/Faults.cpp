#include "Faults.h"

#include "SpectrumSynth.h"

#include <charconv>
#include <sstream>

namespace modemsim {

namespace {

std::optional<long long> ParseCount(std::string_view text, long long lo, long long hi) {
  long long v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end || v < lo || v > hi) return std::nullopt;
  return v;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> words;
  while (true) {
    s = Trim(s);
    if (s.empty()) return words;
    const auto end = s.find_first_of(" \t");
    words.push_back(s.substr(0, end));
    if (end == std::string_view::npos) return words;
    s.remove_prefix(end);
  }
}

bool Fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
  return false;
}

}  // namespace

bool FaultSet::Any() const { return *this != FaultSet{}; }

std::string FaultSet::Describe() const {
  std::ostringstream out;
  auto count = [](int n) { return n == kEveryConnection ? std::string() : '=' + std::to_string(n); };
  if (refuseConnections != 0) out << "fault refuse-connections" << count(refuseConnections) << " on\n";
  if (dropConnections != 0) out << "fault drop-connections" << count(dropConnections) << " on\n";
  for (const std::string& name : denied) out << "fault deny=" << name << " on\n";
  if (noSize) out << "fault no-size on\n";
  if (shortSpectrum) out << "fault short-spectrum=" << *shortSpectrum << " on\n";
  if (slowMs != 0) out << "fault slow=" << slowMs << " on\n";
  if (flashStall) out << "fault flash-stall on\n";
  return out.str();
}

std::optional<FaultChange> ParseFaultText(std::string_view text, std::string* error) {
  FaultChange change;
  const auto eq = text.find('=');
  change.name = std::string(text.substr(0, eq));
  if (eq != std::string_view::npos) change.value = std::string(text.substr(eq + 1));
  if (change.name.empty()) {
    Fail(error, "missing fault name");
    return std::nullopt;
  }
  return change;
}

bool ApplyFault(FaultSet& f, const FaultChange& c, std::string* error) {
  const std::string& name = c.name;
  const bool hasValue = c.value.has_value();
  auto noValue = [&]() { return Fail(error, "fault " + name + " takes no value"); };
  auto needValue = [&]() { return Fail(error, "fault " + name + " needs a value (" + name + "=...)"); };

  if (name == "clear") {
    if (hasValue) return noValue();
    if (c.on) f = FaultSet{};
    return true;
  }
  if (name == "refuse-connections" || name == "drop-connections") {
    int count = kEveryConnection;
    if (hasValue) {
      const auto n = ParseCount(*c.value, 1, 1000000);
      if (!n) return Fail(error, "fault " + name + ": count must be 1..1000000");
      count = static_cast<int>(*n);
    }
    (name == "refuse-connections" ? f.refuseConnections : f.dropConnections) = c.on ? count : 0;
    return true;
  }
  if (name == "deny") {
    // Names are kept without leading "/" (every spelling names the same
    // pseudo-file), so that a name reads back as it was given and "off"
    // lifts it however it is spelt.
    std::string file = hasValue ? *c.value : std::string();
    file.erase(0, file.find_first_not_of('/') == std::string::npos ? file.size() : file.find_first_not_of('/'));
    if (!c.on) {
      if (hasValue)
        f.denied.erase(file);
      else
        f.denied.clear();
      return true;
    }
    if (file.empty()) return needValue();
    f.denied.insert(file);
    return true;
  }
  if (name == "no-size" || name == "flash-stall") {
    if (hasValue) return noValue();
    (name == "no-size" ? f.noSize : f.flashStall) = c.on;
    return true;
  }
  if (name == "short-spectrum") {
    if (!c.on) {
      f.shortSpectrum.reset();
      return true;
    }
    if (!hasValue) return needValue();
    const auto n = ParseCount(*c.value, 0, static_cast<long long>(kSpectrumBlockSize));
    if (!n) return Fail(error, "fault short-spectrum: length must be 0.." + std::to_string(kSpectrumBlockSize));
    f.shortSpectrum = static_cast<std::size_t>(*n);
    return true;
  }
  if (name == "slow") {
    if (!c.on) {
      f.slowMs = 0;
      return true;
    }
    if (!hasValue) return needValue();
    const auto n = ParseCount(*c.value, 0, kMaxSlowMs);
    if (!n) return Fail(error, "fault slow: delay must be 0.." + std::to_string(kMaxSlowMs) + " ms");
    f.slowMs = static_cast<int>(*n);
    return true;
  }
  return Fail(error, "unknown fault '" + name + "'");
}

std::optional<std::vector<ControlRequest>> ParseControlRequests(std::string_view text, std::string* error) {
  std::vector<ControlRequest> requests;
  int lineNo = 0;
  FaultSet scratch;  // validates values the same way as the real apply
  while (!text.empty()) {
    const auto nl = text.find('\n');
    const std::string_view line = Trim(text.substr(0, nl));
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    ++lineNo;
    if (line.empty() || line.front() == '#') continue;

    const std::vector<std::string_view> w = Words(line);
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    std::string why;
    if (IsSignalLine(w[0])) {
      const std::optional<SignalChange> change = ParseSignalLine(w, &why);
      if (!change) {
        Fail(error, where + why);
        return std::nullopt;
      }
      requests.emplace_back(*change);
      continue;
    }
    if (w[0] != "fault" || w.size() < 2 || w.size() > 3) {
      Fail(error, where + "expected 'fault NAME[=VALUE] [on|off]', 'fault clear' or a signal line");
      return std::nullopt;
    }
    std::optional<FaultChange> change = ParseFaultText(w[1], &why);
    if (change && w.size() == 3) {
      if (w[2] == "on") {
        change->on = true;
      } else if (w[2] == "off") {
        change->on = false;
      } else {
        Fail(error, where + "expected 'on' or 'off' after the fault name");
        return std::nullopt;
      }
    }
    if (!change || !ApplyFault(scratch, *change, &why)) {
      Fail(error, where + why);
      return std::nullopt;
    }
    requests.emplace_back(*change);
  }
  return requests;
}

std::optional<std::vector<FaultChange>> ParseControlText(std::string_view text, std::string* error) {
  const auto requests = ParseControlRequests(text, error);
  if (!requests) return std::nullopt;
  std::vector<FaultChange> changes;
  for (const ControlRequest& request : *requests) {
    const FaultChange* change = std::get_if<FaultChange>(&request);
    if (change == nullptr) {
      Fail(error, "a signal line where only faults are taken");
      return std::nullopt;
    }
    changes.push_back(*change);
  }
  return changes;
}

const char* FaultHelpText() {
  return R"(Faults (--fault NAME[=VALUE] at start, repeatable; or at run time, see below):
  refuse-connections[=N]  answer a new session's login with 421 and close it
                          (only the next N sessions when N is given); the
                          user "control" is let in
  drop-connections[=N]    close a session's control connection, without a
                          reply, when its next command arrives (only the next
                          N sessions when N is given)
  deny=FILE               answer 550 for the pseudo-file FILE (repeatable)
  no-size                 SIZE answers 502 and FEAT does not offer it
  short-spectrum=N        "spectrum:" sends (and SIZE reports) only its first
                          N bytes, 0..8224
  slow=MS                 delay every reply by MS milliseconds
  flash-stall             firmware progress stops where it is (and goes on
                          when the fault is switched off)
  clear                   switch every fault off

Run-time control: write lines to the pseudo-file "control:" (STOR), e.g.
    fault drop-connections on
    fault slow=200
    fault deny=spectrum: on
    fault deny=spectrum: off      (lifts one deny; "fault deny off" lifts all)
    fault clear
One request per line: "fault NAME[=VALUE] [on|off]" (on when left out) or
"fault clear". Blank lines and lines starting with '#' are ignored. A text
with any bad line changes nothing and the upload is answered 451 naming the
line.

The same upload may change the spectrum's signal (not the faults):
    tone HZ:DB on       a CW tone at HZ from the centre, DB above the noise
                        floor (as --tone); a tone already at HZ takes DB
    tone HZ off         removes the tone at HZ ("tone HZ:DB off" too)
    carrier-db DB       the carrier's level (as --carrier-db), -100..100
    carrier off         leaves the carrier out; "carrier on" brings it back
Each change applies from the next capture request on: the block captured
before it is served unchanged, and the upload's reply names the first
capture that carries it. "fault clear" leaves the signal as it is.

Reading "control:" (RETR) returns the active faults in the same form, then
the signal ("carrier on|off", "carrier-db DB", "tone HZ:DB on" per tone);
writing that text back restores both.

A session that logs in with the user name "control" is exempt from the
faults on its own commands (drop-connections, deny, no-size, short-spectrum,
slow), so faults can always be switched off again: its greeting is never
slowed, refuse-connections turns a session away only when it logs in as
another user, and beyond the limit of 200 sessions up to 50 more are kept
for it (a kept session is closed at any first command but "USER control",
and gives way to a newer connection while it has not sent one).
)";
}

}  // namespace modemsim
