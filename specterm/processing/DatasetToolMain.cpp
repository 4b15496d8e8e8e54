// specterm-dataset: see DatasetTool.h.

#include "DatasetTool.h"
#include "base/ProgramOptions.h"

#include <iostream>

namespace {

halden::ProgramHelp Help() {
  halden::ProgramHelp help;
  help.program = "specterm-dataset";
  help.usage = {"specterm-dataset --kind KIND [OPTION]... BLOCKFILE...",
                "specterm-dataset --measure LOW:HIGH [OPTION]... BLOCKFILE..."};
  help.summary =
      "Runs the spectrum update of the Halden Spectrum Analyzer over saved \"spectrum:\"\n"
      "blocks (8224 bytes each), in order, and writes one data set of the last update\n"
      "to standard output in the analyzer's export file format; with --measure, the\n"
      "measurements of one row of the last update instead, one \"name: value unit\"\n"
      "line each. A recording of data sets (File > Record Data Sets) counts as its\n"
      "blocks, in the order they came. It uses libFFT.so from its own folder, as\n"
      "specterm does.";
  help.options = {{"--kind", "KIND",
                   "the data set: raw, transformed, scaled, peakhold or average (required);\n"
                   "csv: the traces as a table in rising frequency;\n"
                   "with --measure the row: current (default), average or peakhold"},
                  {"--measure", "LOW:HIGH",
                   "measure the band from LOW to HIGH MHz: band power, noise per point,\n"
                   "C/N, occupied bandwidth, peak in band, and the row's peak table"},
                  {"--peaks", "N", "the peak table's length (default 10)"},
                  {"--excursion", "DB", "the least prominence of a peak in the table (default 6)"},
                  {"--threshold", "DB", "the least level of a peak in the table (default 0)"},
                  {"--window", "on|off", "window the samples before the transform (default on)"},
                  {"--peakhold", "on|off", "keep peak hold from the first block (default on)"},
                  {"--average", "on|off", "keep the video average from the first block (default on)"}};
  help.notes =
      "After \"--\" every argument is a block file, even one that starts with '-'.\n"
      "Levels are the analyzer's dB, relative to the modem's sample scale.";
  help.settings = "None: everything comes from the command line.";
  help.exitCodes = {{specterm::kToolOk, "the data set or the measurements were written"},
                    {specterm::kToolFailed, "a block file could not be read or parsed, or libFFT.so is missing"},
                    {specterm::kToolUsage, "the command line is wrong"}};
  return help;
}

// Block files; after "--" everything is one.
std::size_t BlockFile(const std::vector<std::string>& args, std::size_t i) {
  if (args[i] == "--") return args.size() - i;
  return args[i].empty() || args[i].front() != '-' || args[i] == "-" ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  // The shared conventions first (--help, --version, unknown options); the
  // tool itself checks the values.
  const halden::CommandLineCheck check = halden::CheckCommandLine(Help(), args, std::cout, std::cerr, BlockFile);
  if (check.exitCode) return *check.exitCode;
  return specterm::RunDatasetTool(args, std::cout, std::cerr);
}
