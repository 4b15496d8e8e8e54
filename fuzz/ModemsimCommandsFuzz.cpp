// What a client sends the simulator: command lines with their arguments, and
// the text written to "control:". A control text that is accepted applies
// to the fault set, and the set's description reads back as the same set.

#include "CommandParse.h"
#include "Faults.h"
#include "FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace modemsim;
  const std::string_view text = fuzz::Text(data, size);

  for (const std::string& line : fuzz::Split(text, '\n')) {
    const ParsedCommand command = ParseCommand(CleanCommandLine(line));
    if (const auto port = ParsePortArgument(command.arg); port && (port->port < 0 || port->port > 65535)) std::abort();
    if (const auto eprt = ParseEprtArgument(command.arg); eprt && (eprt->port < 0 || eprt->port > 65535)) std::abort();
    if (const auto rest = ParseRestOffset(command.arg); rest && *rest < 0) std::abort();
    (void)ListPath(command.arg);
  }

  std::string error;
  const auto changes = ParseControlText(text, &error);
  if (!changes) return 0;
  FaultSet faults;
  for (const FaultChange& change : *changes)
    if (!ApplyFault(faults, change, &error)) std::abort();  // validated by the parse
  const auto again = ParseControlText(faults.Describe(), &error);
  if (!again) std::abort();
  FaultSet restored;
  for (const FaultChange& change : *again) ApplyFault(restored, change, &error);
  if (!(restored == faults)) std::abort();
  return 0;
}
