#include "DatasetTool.h"

#include "DataSetExport.h"
#include "Recording.h"
#include "SpectrumUpdate.h"
#include "TraceCsv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace specterm {

namespace {

constexpr const char* kToolName = "specterm-dataset";
constexpr const char* kUsage =
    "Usage: specterm-dataset --kind raw|transformed|scaled|peakhold|average|csv\n"
    "                        [--window on|off] [--peakhold on|off] [--average on|off]\n"
    "                        BLOCKFILE...\n"
    "       specterm-dataset --measure LOW:HIGH [--peaks N] [--excursion DB] [--threshold DB]\n"
    "                        [--kind current|average|peakhold] [--window on|off]\n"
    "                        [--peakhold on|off] [--average on|off] BLOCKFILE...\n"
    "Runs the spectrum update over each block file in order and writes the chosen\n"
    "data set of the last update to standard output in the export file format,\n"
    "or with --kind csv the traces as a table: frequency_mhz, current_db, then\n"
    "previous_db (two blocks or more), average_db and peak_hold_db when kept;\n"
    "with --measure, the measurements of a row between LOW and HIGH MHz instead.\n"
    "A recording of data sets counts as its blocks, in the order they came.\n"
    "Defaults: window on, peak hold and video average on from the first block;\n"
    "the current row, 10 peaks of at least 6 dB prominence, threshold 0 dB.\n";

constexpr const char* kCsvKind = "csv";

constexpr std::array<std::pair<const char*, ExportKind>, 5> kKinds = {{{"raw", ExportKind::Raw},
                                                                       {"transformed", ExportKind::Transformed},
                                                                       {"scaled", ExportKind::Scaled},
                                                                       {"peakhold", ExportKind::PeakHold},
                                                                       {"average", ExportKind::VideoAverage}}};

// The rows --measure reads, by their --kind names.
constexpr std::array<std::pair<const char*, TraceRow>, 3> kRows = {
    {{"current", kCurrentRow}, {"average", kVideoAverageRow}, {"peakhold", kPeakHoldRow}}};

// Excursions and thresholds beyond this many dB mean nothing to a trace.
constexpr double kLevelLimit = 1000.0;

bool TakesValue(const std::string& option) {
  for (const char* name :
       {"--kind", "--window", "--peakhold", "--average", "--measure", "--peaks", "--excursion", "--threshold"})
    if (option == name) return true;
  return false;
}

// A finite decimal number, the whole text.
std::optional<double> Number(const std::string& text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<bool> OnOff(const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  return std::nullopt;
}

// Closes a file descriptor when the scope ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

// Reads the block: at most what a block holds (the rest of a longer file is
// ignored, as the parser ignores it), so a device or a stream that never
// ends cannot fill the memory.
std::optional<std::string> ReadBlockFile(const std::string& path, std::string& contents) {
  contents.clear();
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) return "cannot open block file " + path + ": " + std::strerror(errno);
  struct stat info {};
  if (::fstat(file.Get(), &info) == 0 && S_ISDIR(info.st_mode)) return "block file " + path + " is a directory";
  contents.resize(kBlockLength);
  std::size_t got = 0;
  while (got < contents.size()) {
    const ssize_t n = ::read(file.Get(), contents.data() + got, contents.size() - got);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      return "cannot read block file " + path + ": " + std::strerror(errno);
    }
    got += static_cast<std::size_t>(n);
  }
  contents.resize(got);
  if (contents.empty()) return "block file " + path + " is empty";
  return std::nullopt;
}

// The measurement lines of a row of the last update.
std::string MeasurementText(const MeasureRequest& request, bool windowed, const SpectrumState& state) {
  const auto row = static_cast<std::size_t>(request.Row);
  const MeasuredRow measured{state.Traces.TraceX[row], state.Traces.TraceY[row], state.Block.SpanScale};
  MeasureSettings settings;
  settings.BandFrom = request.LowMHz;
  settings.BandTo = request.HighMHz;
  settings.Enbw = WindowEnbw(windowed);
  settings.MinPeakThreshold = request.Threshold;
  settings.Excursion = request.Excursion;
  settings.PeakCount = request.Peaks;
  std::string text;
  for (const std::string& line : MeasurementLines(Measure(measured, settings))) text += line + "\n";
  return text;
}

}  // namespace

std::optional<std::string> ParseToolArguments(const std::vector<std::string>& args, ToolOptions& options, bool& help) {
  bool optionsEnd = false;
  std::optional<std::string> kind;
  MeasureRequest measure;
  bool measuring = false;
  std::vector<std::string> tableOptions;  // given, of those that only --measure takes
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      options.Files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      help = true;
      return std::nullopt;
    }
    std::string value;
    if (const std::size_t equals = arg.find('='); equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg.resize(equals);
      if (!TakesValue(arg)) return "unknown option " + arg;
    } else if (TakesValue(arg)) {
      if (i + 1 >= args.size()) return "option " + arg + " needs a value";
      value = args[++i];
    } else {
      return "unknown option " + arg;
    }
    if (arg == "--kind") {
      kind = value;
    } else if (arg == "--measure") {
      const std::size_t colon = value.find(':');
      const std::optional<double> low = colon == std::string::npos ? std::nullopt : Number(value.substr(0, colon));
      const std::optional<double> high = colon == std::string::npos ? std::nullopt : Number(value.substr(colon + 1));
      if (!low || !high) return "--measure takes LOW:HIGH in MHz, not \"" + value + "\"";
      measure.LowMHz = std::min(*low, *high);
      measure.HighMHz = std::max(*low, *high);
      measuring = true;
    } else if (arg == "--peaks") {
      const std::optional<double> n = Number(value);
      if (!n || *n < 0 || *n > static_cast<double>(kPointCount) || *n != std::floor(*n))
        return "--peaks takes a count of 0 to " + std::to_string(kPointCount) + ", not \"" + value + "\"";
      measure.Peaks = static_cast<int>(*n);
      tableOptions.push_back(arg);
    } else if (arg == "--excursion" || arg == "--threshold") {
      const std::optional<double> dB = Number(value);
      if (!dB || std::abs(*dB) > kLevelLimit) return "option " + arg + " takes a level in dB, not \"" + value + "\"";
      if (arg == "--excursion")
        measure.Excursion = *dB;
      else
        measure.Threshold = static_cast<float>(*dB);
      tableOptions.push_back(arg);
    } else {
      const std::optional<bool> state = OnOff(value);
      if (!state) return "option " + arg + " takes on or off, not \"" + value + "\"";
      if (arg == "--window") options.Update.WindowSpectrum = *state;
      if (arg == "--peakhold") options.Update.PeakHold = *state;
      if (arg == "--average") options.Update.VideoAverage = *state;
    }
  }
  if (measuring) {
    if (kind) {
      const auto row = std::find_if(kRows.begin(), kRows.end(), [&](const auto& r) { return *kind == r.first; });
      if (row == kRows.end()) return "--measure measures the current, average or peakhold row, not \"" + *kind + "\"";
      measure.Row = row->second;
    }
    if (measure.Row == kVideoAverageRow && !options.Update.VideoAverage) return "--kind average needs --average on";
    if (measure.Row == kPeakHoldRow && !options.Update.PeakHold) return "--kind peakhold needs --peakhold on";
    options.Measure = measure;
  } else {
    if (!tableOptions.empty()) return "option " + tableOptions.front() + " needs --measure";
    if (!kind) return "--kind is required";
    options.Csv = *kind == kCsvKind;
    for (const auto& [name, exportKind] : kKinds)
      if (*kind == name) options.Kind = exportKind;
    if (!options.Kind && !options.Csv) return "unknown data set kind \"" + *kind + "\"";
  }
  if (options.Files.empty()) return "no block file given";
  return std::nullopt;
}

int RunDatasetTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ToolOptions options;
  bool help = false;
  if (const std::optional<std::string> problem = ParseToolArguments(args, options, help)) {
    err << kToolName << ": " << *problem << "\n" << kUsage;
    return kToolUsage;
  }
  if (help) {
    out << kUsage;
    return kToolOk;
  }

  const FftLibrary::Loaded fft = FftLibrary::Shared();
  if (!fft) {
    err << kToolName << ": " << fft.Error << "\n";
    return kToolFailed;
  }
  const SpectrumUpdater updater(fft.Library);
  // The state is large; keep it off the stack.
  auto state = std::make_unique<SpectrumState>();
  std::string block;
  std::size_t dataSets = 0;
  const auto update = [&](std::string_view data) {
    ++dataSets;
    ParseBlock(data, state->Block);
    const UpdateOutcome outcome = updater.Update(*state, options.Update);
    if (!outcome.Error.empty()) err << kToolName << ": " << outcome.Error << "\n";
    return outcome.Error.empty();
  };
  TraceCsvSource source;
  for (const std::string& path : options.Files) {
    if (const std::optional<std::string> problem = ReadBlockFile(path, block)) {
      err << kToolName << ": " << *problem << "\n";
      return kToolFailed;
    }
    // A saved block was taken when it was written.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
      source.Time = DataSetClock::time_point(std::chrono::seconds(info.st_mtim.tv_sec));
    if (!StartsAsRecording(block)) {
      if (!update(block)) return kToolFailed;
      continue;
    }
    // A recording: each whole record's block, in order, without reading
    // the file whole.
    RecordingReader recording;
    if (const std::optional<std::string> problem = recording.Open(path)) {
      err << kToolName << ": recording " << path << ": " << *problem << "\n";
      return kToolFailed;
    }
    if (recording.Count() == 0) {
      err << kToolName << ": recording " << path << " holds no whole data set\n";
      return kToolFailed;
    }
    for (std::size_t i = 0; i < recording.Count(); ++i)
      if (!update(recording.Block(i))) return kToolFailed;
  }
  if (options.Measure) {
    out << MeasurementText(*options.Measure, options.Update.WindowSpectrum, *state);
  } else if (options.Csv) {
    // The traces the run kept: the current one, the previous one once there
    // are two data sets, and the accumulations that were on.
    std::array<bool, kTraceRows>& shown = state->Traces.TraceShown;
    shown[kCurrentRow] = true;
    shown[kPreviousRow] = dataSets > 1;
    shown[kVideoAverageRow] = options.Update.VideoAverage;
    shown[kPeakHoldRow] = options.Update.PeakHold;
    out << TraceCsvText(*state, source);
  } else {
    out << DataSetText(*options.Kind, *state);
  }
  out.flush();
  if (!out) {
    err << kToolName << ": the data set could not be written to standard output\n";
    return kToolFailed;
  }
  return kToolOk;
}

}  // namespace specterm
