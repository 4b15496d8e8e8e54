#pragma once

// The program entry of the IQ monitor.

#include <QString>
#include <QStringList>

#include <string>

namespace orbscope {

// What main() hands over: the command-line text after the program name and
// the snapshot file, if any ("--snapshot FILE" is taken out of the text).
struct ProgramArguments {
  std::string commandLine;
  QString snapshotFile;
  bool snapshotMissingFile = false;
};
ProgramArguments SplitArguments(const QStringList& arguments);

// Runs the program; returns its exit code.
int OrbscopeMain(int argc, char** argv);

}  // namespace orbscope
