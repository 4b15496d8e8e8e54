#pragma once

// Runs a program to its end with a deadline and collects what it printed.

#include <QProcessEnvironment>
#include <QStringList>

#include <chrono>
#include <string>

namespace programs {

struct RunResult {
  bool finished = false;  // ended by itself within the deadline
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The environment of a user at a terminal without a display: the programs'
// command lines must not need one.
QProcessEnvironment WithoutDisplay();

RunResult Run(const std::string& program, const QStringList& args,
              const QProcessEnvironment& environment = WithoutDisplay(),
              std::chrono::milliseconds deadline = std::chrono::seconds(30));

}  // namespace programs
