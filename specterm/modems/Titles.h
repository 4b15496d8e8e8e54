#pragma once

// The program's version and the main window's titles.

#include <string>

namespace specterm {

// "1.0.14": major, minor and revision of the build.
std::string VersionText();

std::string TitleWithoutModem();
// A current modem with updates running.
std::string TitleConnected(const std::string& lastModem);
// A current modem whose updates were stopped at start-up.
std::string TitleLastConnected(const std::string& lastModem);
// A recording replayed in place of the modem's data sets.
std::string TitleReplay(const std::string& fileName);

}  // namespace specterm
