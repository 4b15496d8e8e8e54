#include "ProgramEntry.h"

#include "AppWindow.h"
#include "CommandLine.h"
#include "Reports.h"
#include "WinException.h"
#include "forms/AccessibleNames.h"
#include "forms/Application.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace orbscope {

namespace {
constexpr const char* kSnapshotOption = "--snapshot";
// A snapshot run that has drawn nothing by then gives up.
constexpr int kSnapshotDeadlineMs = 60000;
constexpr int kUsageError = 2;
}  // namespace

ProgramArguments SplitArguments(const QStringList& arguments) {
  ProgramArguments result;
  QStringList rest;
  for (int i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == QLatin1String(kSnapshotOption)) {
      if (i + 1 < arguments.size()) {
        result.snapshotFile = arguments[++i];
      } else {
        result.snapshotMissingFile = true;
      }
    } else {
      rest << arguments[i];
    }
  }
  result.commandLine = rest.join(' ').toLocal8Bit().toStdString();
  return result;
}

int OrbscopeMain(int argc, char** argv) {
  InstallOutOfMemoryHandler();
  const std::unique_ptr<QApplication> app = forms::OpenApplication(argc, argv, "orbscope");
  QApplication::setApplicationName(QStringLiteral("Orbscope"));
  QGuiApplication::setDesktopFileName(QStringLiteral("orbscope"));
  forms::KeepControlsNamed();

  const ProgramArguments arguments = SplitArguments(QApplication::arguments());
  CAppWindow::Options options;
  options.commandLine = ParseCommandLine(arguments.commandLine);
  options.snapshotFile = arguments.snapshotFile;
  if (arguments.snapshotMissingFile || (!options.snapshotFile.isEmpty() && !options.commandLine.startAutomatically)) {
    std::fprintf(stderr, "usage: orbscope -a<address> [--snapshot FILE]\n");
    return kUsageError;
  }
  // A script has nobody to answer a message box.
  SetReportsToStandardError(!options.snapshotFile.isEmpty());

  try {
    std::unique_ptr<CAppWindow> window = CAppWindow::Create(options);
    if (!window) throw WinException("Window Creation Failed");
    window->show();
    if (!options.snapshotFile.isEmpty()) {
      QTimer::singleShot(kSnapshotDeadlineMs, app.get(), [] {
        std::fprintf(stderr, "orbscope: nothing drawn in time; no snapshot written\n");
        QCoreApplication::exit(1);
      });
    }
    return QApplication::exec();
  } catch (const WinException& error) {
    ReportException(error);
  } catch (...) {
    ReportUnknownException();
  }
  return 0;
}

}  // namespace orbscope
