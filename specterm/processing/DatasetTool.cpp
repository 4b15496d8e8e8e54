#include "DatasetTool.h"

#include "DataSetExport.h"
#include "SpectrumUpdate.h"

#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

namespace specterm {

namespace {

constexpr const char* kToolName = "specterm-dataset";
constexpr const char* kUsage =
    "Usage: specterm-dataset --kind raw|transformed|scaled|peakhold|average\n"
    "                        [--window on|off] [--peakhold on|off] [--average on|off]\n"
    "                        BLOCKFILE...\n"
    "Runs the spectrum update over each block file in order and writes the chosen\n"
    "data set of the last update to standard output in the export file format.\n"
    "Defaults: window on, peak hold and video average on from the first block.\n";

constexpr std::array<std::pair<const char*, ExportKind>, 5> kKinds = {{{"raw", ExportKind::Raw},
                                                                       {"transformed", ExportKind::Transformed},
                                                                       {"scaled", ExportKind::Scaled},
                                                                       {"peakhold", ExportKind::PeakHold},
                                                                       {"average", ExportKind::VideoAverage}}};

struct ToolOptions {
  std::optional<ExportKind> Kind;
  UpdateOptions Update{true, true, true};
  std::vector<std::string> Files;
};

std::optional<bool> OnOff(const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  return std::nullopt;
}

// Parses the command line; returns an error text, or nothing when it is fine.
std::optional<std::string> Parse(const std::vector<std::string>& args, ToolOptions& options, bool& help) {
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
      for (const auto& [name, kind] : kKinds)
        if (value == name) options.Kind = kind;
      if (!options.Kind) return "unknown data set kind \"" + value + "\"";
      continue;
    }
    const std::optional<bool> state = OnOff(value);
    if (arg != "--window" && arg != "--peakhold" && arg != "--average") return "unknown option " + arg;
    if (!state) return "option " + arg + " takes on or off, not \"" + value + "\"";
    if (arg == "--window") options.Update.WindowSpectrum = *state;
    if (arg == "--peakhold") options.Update.PeakHold = *state;
    if (arg == "--average") options.Update.VideoAverage = *state;
  }
  if (!options.Kind) return "--kind is required";
  if (options.Files.empty()) return "no block file given";
  return std::nullopt;
}

std::optional<std::string> ReadBlockFile(const std::string& path, std::string& contents) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return "cannot open block file " + path;
  contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) return "cannot read block file " + path;
  if (contents.empty()) return "block file " + path + " is empty";
  return std::nullopt;
}

}  // namespace

int RunDatasetTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ToolOptions options;
  bool help = false;
  if (const std::optional<std::string> problem = Parse(args, options, help)) {
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
  for (const std::string& path : options.Files) {
    if (const std::optional<std::string> problem = ReadBlockFile(path, block)) {
      err << kToolName << ": " << *problem << "\n";
      return kToolFailed;
    }
    ParseBlock(std::string_view(block), state->Block);
    const UpdateOutcome outcome = updater.Update(*state, options.Update);
    if (!outcome.Error.empty()) {
      err << kToolName << ": " << outcome.Error << "\n";
      return kToolFailed;
    }
  }
  out << DataSetText(*options.Kind, *state);
  out.flush();
  if (!out) {
    err << kToolName << ": the data set could not be written to standard output\n";
    return kToolFailed;
  }
  return kToolOk;
}

}  // namespace specterm
