#pragma once

// Runs a program to its end, with a deadline, in the environment of a user
// at a terminal without a display, and collects what it printed.

#include <QProcessEnvironment>
#include <QStringList>

#include <string>

namespace programs {

struct RunResult {
  bool finished = false;  // ended by itself within the deadline
  int exitCode = -1;
  std::string out, err;
};

QProcessEnvironment WithoutDisplay();
RunResult Run(const QString& program, const QStringList& args, const QProcessEnvironment& env = WithoutDisplay(),
              int deadlineMs = 30000);

}  // namespace programs
