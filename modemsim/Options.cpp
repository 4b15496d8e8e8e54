#include "Options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <type_traits>

namespace modemsim {

namespace {

bool ParseInteger(const std::string& text, long long lo, long long hi, long long* out) {
  long long v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end || v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool ParseUnsigned64(const std::string& text, std::uint64_t* out) {
  std::uint64_t v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end) return false;
  *out = v;
  return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error) {
  Options o;
  std::string value;
  auto bad = [&](const std::string& option, const std::string& what) {
    *error = "invalid value '" + value + "' for " + option + ": " + what;
    return false;
  };
  auto integer = [&](const std::string& option, long long lo, long long hi, auto* field) {
    long long v = 0;
    if (!ParseInteger(value, lo, hi, &v))
      return bad(option, "expected an integer " + std::to_string(lo) + ".." + std::to_string(hi));
    *field = static_cast<std::remove_pointer_t<decltype(field)>>(v);
    return true;
  };
  auto real = [&](const std::string& option, double lo, double hi, double* field) {
    const std::optional<double> v = ParseDecimal(value);
    if (!v || *v < lo || *v > hi) return bad(option, "expected a number in range");
    *field = *v;
    return true;
  };

  // Each option that takes a value, and what it does with it.
  const std::map<std::string, std::function<bool()>> withValue = {
      {"--listen", [&] { return !value.empty() ? (o.listen = value, true) : bad("--listen", "empty address"); }},
      {"--port", [&] { return integer("--port", 0, 65535, &o.port); }},
      {"--seed",
       [&] {
         return ParseUnsigned64(value, &o.spectrum.seed) ? (o.constellation.seed = o.spectrum.seed, true)
                                                         : bad("--seed", "expected an unsigned integer");
       }},
      {"--centre", [&] { return integer("--centre", 0, 0xFFFFFFFFLL, &o.spectrum.centre); }},
      {"--rate-exponent", [&] { return integer("--rate-exponent", 0, 0xFFFF, &o.spectrum.rateExponent); }},
      {"--carrier-offset", [&] { return real("--carrier-offset", -1e9, 1e9, &o.spectrum.carrierOffsetHz); }},
      {"--symbol-rate", [&] { return real("--symbol-rate", 0, 1e9, &o.spectrum.symbolRateHz); }},
      {"--carrier-db", [&] { return real("--carrier-db", -kMaxLevelDb, kMaxLevelDb, &o.spectrum.carrierDb); }},
      {"--tone",
       [&] {
         const std::optional<Tone> t = ParseTone(value);
         if (!t) return bad("--tone", "expected HZ:DB, e.g. 2500000:20");
         o.spectrum.tones.push_back(*t);
         return true;
       }},
      {"--model", [&] { return integer("--model", 0, 255, &o.constellation.model); }},
      {"--modulation", [&] { return integer("--modulation", 0, 255, &o.constellation.modulation); }},
      {"--snr", [&] { return real("--snr", -20, 80, &o.constellation.snrDb); }},
      {"--flash-blocks", [&] { return integer("--flash-blocks", 0, 1000000, &o.flashBlocks); }},
      {"--flash-step-ms", [&] { return integer("--flash-step-ms", 1, 3600000, &o.flashStepMs); }},
      {"--fault",
       [&] {
         std::string why;
         std::optional<FaultChange> change = ParseFaultText(value, &why);
         FaultSet scratch;
         if (!change || !ApplyFault(scratch, *change, &why)) return bad("--fault", why);
         o.faults.push_back(*change);
         return true;
       }},
      {"--log", [&] { return !value.empty() ? (o.logFile = value, true) : bad("--log", "empty file name"); }},
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      inlineValue = name.substr(eq + 1);
      name.erase(eq);
    }
    if (name == "--help" || name == "-h") {
      o.help = true;
      continue;
    }
    if (name == "--version") {
      o.version = true;
      continue;
    }
    if (name == "--short-orbscope") {
      o.constellation.shortFile = true;
      continue;
    }
    const auto it = withValue.find(name);
    if (it == withValue.end()) {
      *error = "unknown option '" + args[i] + "'";
      return std::nullopt;
    }
    if (inlineValue) {
      value = *inlineValue;
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      *error = "option " + name + " needs a value";
      return std::nullopt;
    }
    if (!it->second()) return std::nullopt;
  }
  return o;
}

std::string HelpText() {
  return "Usage: " + std::string(kUsage) + R"(
A simulated Halden modem: an FTP server serving the modem's pseudo-files
with synthesized data and switchable faults.

Network and log:
  --listen ADDR          address to listen on (default 127.0.0.1)
  --port N               port (default 2121; 0 picks a free one)
  --log FILE             command log (default: standard error)
The first line on standard output is "listening on ADDR:PORT".

Spectrum ("spectrum:", new capture on writing one byte of value 1 to "capt_spec:"):
  --seed N               seed of all synthesized data (default 1); the same
                         seed gives the same data, capture after capture
  --centre N             centre frequency field, units of 100 Hz (default 700000)
  --rate-exponent K      rate field k; sample rate 100 MHz / 2^(k+1) (default 1)
  --carrier-offset HZ    carrier offset from the centre (default 0)
  --symbol-rate HZ       carrier symbol rate, raised-cosine shaped, roll-off
                         0.35 (default 3000000; 0 leaves the carrier out)
  --carrier-db DB        carrier density above the noise floor (default 30)
  --tone HZ:DB           CW tone at HZ from the centre, DB above the noise
                         floor of a 4096-point transform (repeatable)

Constellation ("orbscope:"):
  --model M              model byte: 0 Melgar, 1 Halden, 2 Torvik (default 0)
  --modulation C         modulation byte: 0 NONE, 1 BPSK, 2 QPSK, 3 OQPSK,
                         4 8PSK, 5 16QAM, 6 8QAM (default 2)
                         (other byte values are served as given, with the data
                         of model 0 / modulation 0, as a receiver reads them)
  --snr DB               mean symbol power over noise power (default 25)
  --short-orbscope       serve 2048 bytes, without model and modulation

Firmware (write an image to one of bulk: app: dmdfilt: modfilt: rxintf:
txintf: turbo: demod1: decode1: demod2: decode2: mod: mandc: fec2: boot:
demod3: fast:; then "status:" reads "0 of N" up to "N of N"):
  --flash-blocks N       blocks of a flash (default 10)
  --flash-step-ms MS     time per block (default 500)

)" + FaultHelpText() +
         R"(
Log lines: "TIME #SESSION > COMMAND" for each command (PASS masked) and
"TIME #SESSION TEXT" for events (open, close, capture, flash, faults);
session 0 is the server itself.

Other:
  --help                 show this help and exit
  --version              show the version and exit

Settings:
  modemsim keeps none: everything comes from its command line and "control:".
  It runs until stopped (Ctrl+C, SIGTERM).

Exit codes:
  0  --help or --version
  1  it could not listen on the address and port, or open the log file
  2  the command line is wrong
)";
}

}  // namespace modemsim
