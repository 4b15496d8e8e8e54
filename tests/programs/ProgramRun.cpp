#include "ProgramRun.h"

#include <QProcess>

namespace programs {

QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
  return env;
}

RunResult Run(const QString& program, const QStringList& args, const QProcessEnvironment& env, int deadlineMs) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(program, args);
  RunResult result;
  result.finished = process.waitForFinished(deadlineMs) && process.exitStatus() == QProcess::NormalExit;
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
