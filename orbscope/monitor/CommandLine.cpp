#include "CommandLine.h"

namespace orbscope {

CommandLine ParseCommandLine(std::string text) {
  // A command line quoted as a whole (as some shortcuts pass it) loses its
  // quotes.
  if (!text.empty() && text.front() == '"') {
    text.erase(0, 1);
    const std::size_t quote = text.find('"');
    if (quote != std::string::npos && quote + 1 == text.size()) text.pop_back();
  }
  CommandLine result;
  const std::size_t option = text.find("-a");
  if (option != std::string::npos && text.size() >= option + 2) {
    text = text.substr(option + 2);
    const std::size_t space = text.find(' ');
    if (space != std::string::npos) text.resize(space);
    if (!text.empty()) result.addressGiven = result.startAutomatically = true;
  }
  result.address = text;
  return result;
}

std::string WindowTitle(bool withAddress, const std::string& address) {
  return withAddress ? "Orbscope (" + address + ")" : "Orbscope";
}

}  // namespace orbscope
