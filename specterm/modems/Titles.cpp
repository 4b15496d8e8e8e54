#include "modems/Titles.h"

#include "Version.h"
#include "modems/RegSettings.h"

namespace specterm {

std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." + std::to_string(kVersionRevision);
}

std::string TitleWithoutModem() { return AppTitle + " - Version " + VersionText(); }

std::string TitleConnected(const std::string& lastModem) {
  return AppTitle + " [Connected to " + lastModem + "] - Version " + VersionText();
}

std::string TitleLastConnected(const std::string& lastModem) {
  return AppTitle + " [Last Connected to " + lastModem + "] - Version " + VersionText();
}

std::string TitleReplay(const std::string& fileName) {
  return AppTitle + " [Replay of " + fileName + "] - Version " + VersionText();
}

}  // namespace specterm
