// The Halden Spectrum Analyzer: one main window; closing it ends the program.
//
// specterm --snapshot FILE writes a picture of the window to FILE after the
// third data set and quits (for demos without a display); it gives up with
// exit status 1 when no third data set arrives within a minute.
//
// specterm --modem ADDRESS[:PORT] (or a stored modem's NAME) starts on that
// modem with updates running; a new address is stored, named by --name.

#include "base/ProgramOptions.h"
#include "forms/AccessibleNames.h"
#include "forms/Application.h"
#include "modems/RegSettings.h"
#include "modems/Titles.h"
#include "view/Icons.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSize>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSnapshotDataSet = 3;
constexpr int kSnapshotDeadlineMs = 60000;
// Without a screen nobody sees the window: it takes a size at which the
// picture reads well.
constexpr QSize kOffscreenSnapshotSize(1100, 750);
constexpr const char* kSnapshotOption = "--snapshot";
constexpr const char* kModemOption = "--modem";
constexpr const char* kNameOption = "--name";

halden::ProgramHelp Help() {
  halden::ProgramHelp help;
  help.program = "specterm";
  help.usage = {"specterm [--modem ADDRESS[:PORT]|NAME [--name NAME]] [--snapshot FILE]"};
  help.summary = std::string(specterm::kAppTitle) +
                 ": captures the demodulator's I/Q samples of a Halden modem\n"
                 "over FTP every 3 s and draws their spectrum. The modem is chosen in the\n"
                 "window (Communications menu) or with --modem; otherwise the last one is\n"
                 "connected again at start-up.";
  help.options = {
      {kModemOption, "MODEM",
       "start on this modem with updates running: ADDRESS[:PORT] (e.g. 127.0.0.1:2121)\n"
       "or the name of a stored modem; a new address is stored and listed in the\n"
       "recent-modem menu"},
      {kNameOption, "NAME", "the name under which --modem stores a new address (default: the address)"},
      {kSnapshotOption, "FILE", "write a picture of the window to FILE (PNG) after the third\ndata set, then quit"}};
  help.settings = "Settings and the modem list: HKEY_CURRENT_USER.reg in\n" + halden::SettingsFolderRule() +
                  ";\nread at start-up, written when the window closes.";
  help.exitCodes = {{halden::kExitOk, "the window was closed, or the snapshot was written"},
                    {halden::kExitFailure,
                     "no display to open the window on (one line on standard error says so), or\n"
                     "     --snapshot: no third data set within a minute, or the file could not be written"},
                    {halden::kExitUsage, "the command line is wrong, or --modem names no stored modem and no address"}};
  help.notes = "Qt's own options (-platform NAME, -style NAME, ...) are accepted too.";
  return help;
}

}  // namespace

int main(int argc, char** argv) {
  // Before the display is opened, so that --help works without one.
  const halden::CommandLineCheck check = halden::CheckCommandLine(
      Help(), std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, halden::ToolkitOption);
  if (check.exitCode) return *check.exitCode;
  const auto snapshot = check.values.find(kSnapshotOption);
  const bool snapshotRun = snapshot != check.values.end();
  const auto modem = check.values.find(kModemOption);
  const auto name = check.values.find(kNameOption);
  if (name != check.values.end() && modem == check.values.end()) {
    std::cerr << halden::UsageErrorText("specterm", Help().usage, "--name needs --modem");
    return halden::kExitUsage;
  }

  const std::unique_ptr<QApplication> app = forms::OpenApplication(argc, argv, "specterm");
  QApplication::setApplicationName(QString::fromLatin1(specterm::kAppTitle));
  QApplication::setApplicationVersion(QString::fromStdString(specterm::VersionText()));
  QApplication::setWindowIcon(specterm::ProgramIcon());
  // Desktops match the window to its installed desktop entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("specterm"));
  forms::KeepControlsNamed();

  specterm::frmMain form;
  if (snapshotRun) {
    const QString file = QString::fromLocal8Bit(snapshot->second.c_str());
    QObject::connect(&form, &specterm::frmMain::DataSetShown, &form, [&form, file](int count) {
      if (count != kSnapshotDataSet) return;
      const bool saved = form.grab().save(file, "PNG");
      if (!saved) std::fprintf(stderr, "specterm: the picture could not be written to %s\n", qPrintable(file));
      QCoreApplication::exit(saved ? 0 : 1);
    });
    QTimer::singleShot(kSnapshotDeadlineMs, &form, [] {
      std::fprintf(stderr, "specterm: no third data set within %d s; no picture written\n", kSnapshotDeadlineMs / 1000);
      QCoreApplication::exit(1);
    });
  }
  if (modem != check.values.end())
    form.SetStartModem({modem->second, name != check.values.end() ? name->second : std::string()});
  if (!form.Form_Load()) {
    std::cerr << "specterm: " << form.StartModemError() << "\n";
    return halden::kExitUsage;
  }
  if (snapshotRun && QGuiApplication::platformName() == QLatin1String("offscreen")) form.resize(kOffscreenSnapshotSize);
  const int status = QApplication::exec();
  // Settings are saved as when the window closes.
  form.close();
  return status;
}
