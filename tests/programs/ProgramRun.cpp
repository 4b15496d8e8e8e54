#include "ProgramRun.h"

#include <QProcess>

namespace programs {

QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
  return environment;
}

RunResult Run(const std::string& program, const QStringList& args, const QProcessEnvironment& environment,
              std::chrono::milliseconds deadline) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QString::fromStdString(program), args);
  RunResult result;
  result.finished =
      process.waitForFinished(static_cast<int>(deadline.count())) && process.exitStatus() == QProcess::NormalExit;
  if (!result.finished) {
    process.kill();
    process.waitForFinished();
  }
  result.exitCode = process.exitCode();
  result.out = process.readAllStandardOutput().toStdString();
  result.err = process.readAllStandardError().toStdString();
  return result;
}

}  // namespace programs
