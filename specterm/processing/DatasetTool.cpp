#include "DatasetTool.h"

#include "DataSetExport.h"
#include "SpectrumUpdate.h"
#include "TraceCsv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
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
    "Runs the spectrum update over each block file in order and writes the chosen\n"
    "data set of the last update to standard output in the export file format,\n"
    "or with --kind csv the traces as a table: frequency_mhz, current_db, then\n"
    "previous_db (two blocks or more), average_db and peak_hold_db when kept.\n"
    "Defaults: window on, peak hold and video average on from the first block.\n";

constexpr const char* kCsvKind = "csv";

constexpr std::array<std::pair<const char*, ExportKind>, 5> kKinds = {{{"raw", ExportKind::Raw},
                                                                       {"transformed", ExportKind::Transformed},
                                                                       {"scaled", ExportKind::Scaled},
                                                                       {"peakhold", ExportKind::PeakHold},
                                                                       {"average", ExportKind::VideoAverage}}};

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

}  // namespace

std::optional<std::string> ParseToolArguments(const std::vector<std::string>& args, ToolOptions& options, bool& help) {
  bool optionsEnd = false;
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
    } else if (arg == "--kind" || arg == "--window" || arg == "--peakhold" || arg == "--average") {
      if (i + 1 >= args.size()) return "option " + arg + " needs a value";
      value = args[++i];
    } else {
      return "unknown option " + arg;
    }
    if (arg == "--kind") {
      options.Kind.reset();
      options.Csv = value == kCsvKind;
      for (const auto& [name, kind] : kKinds)
        if (value == name) options.Kind = kind;
      if (!options.Kind && !options.Csv) return "unknown data set kind \"" + value + "\"";
      continue;
    }
    const std::optional<bool> state = OnOff(value);
    if (arg != "--window" && arg != "--peakhold" && arg != "--average") return "unknown option " + arg;
    if (!state) return "option " + arg + " takes on or off, not \"" + value + "\"";
    if (arg == "--window") options.Update.WindowSpectrum = *state;
    if (arg == "--peakhold") options.Update.PeakHold = *state;
    if (arg == "--average") options.Update.VideoAverage = *state;
  }
  if (!options.Kind && !options.Csv) return "--kind is required";
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
    ParseBlock(std::string_view(block), state->Block);
    const UpdateOutcome outcome = updater.Update(*state, options.Update);
    if (!outcome.Error.empty()) {
      err << kToolName << ": " << outcome.Error << "\n";
      return kToolFailed;
    }
  }
  if (options.Csv) {
    // The traces the run kept: the current one, the previous one once there
    // are two data sets, and the accumulations that were on.
    std::array<bool, kTraceRows>& shown = state->Traces.TraceShown;
    shown[kCurrentRow] = true;
    shown[kPreviousRow] = options.Files.size() > 1;
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
