// The Halden Spectrum Analyzer: one main window; closing it ends the program.
//
// specterm --snapshot FILE writes the plot's picture to FILE after the third
// data set and quits (for demos without a display); it gives up with exit
// status 1 when no third data set arrives within a minute.

#include "forms/PictureBox.h"
#include "modems/RegSettings.h"
#include "modems/Titles.h"
#include "view/Icons.h"
#include "window/frmMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QSize>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kSnapshotDataSet = 3;
constexpr int kSnapshotDeadlineMs = 60000;
// Without a screen nobody sees the window: it takes a size at which the
// picture reads well.
constexpr QSize kOffscreenSnapshotSize(1100, 750);

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(specterm::kAppTitle));
  QApplication::setApplicationVersion(QString::fromStdString(specterm::VersionText()));
  QApplication::setWindowIcon(specterm::ProgramIcon());

  QCommandLineParser parser;
  parser.setApplicationDescription(QString::fromLatin1(specterm::kAppTitle));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption snapshot(
      QStringLiteral("snapshot"),
      QStringLiteral("Write the plot's picture to <file> after the third data set, then quit."),
      QStringLiteral("file"));
  parser.addOption(snapshot);
  parser.process(app);

  specterm::frmMain form;
  if (parser.isSet(snapshot)) {
    const QString file = parser.value(snapshot);
    QObject::connect(&form, &specterm::frmMain::DataSetShown, &form, [&form, file](int count) {
      if (count != kSnapshotDataSet) return;
      const bool saved = form.picSpectrum->Image().save(file);
      if (!saved) std::fprintf(stderr, "specterm: the picture could not be written to %s\n", qPrintable(file));
      QCoreApplication::exit(saved ? 0 : 1);
    });
    QTimer::singleShot(kSnapshotDeadlineMs, &form, [] {
      std::fprintf(stderr, "specterm: no third data set within %d s; no picture written\n", kSnapshotDeadlineMs / 1000);
      QCoreApplication::exit(1);
    });
  }
  form.Form_Load();
  if (parser.isSet(snapshot) && QGuiApplication::platformName() == QLatin1String("offscreen"))
    form.resize(kOffscreenSnapshotSize);
  const int status = app.exec();
  // Settings are saved as when the window closes.
  form.close();
  return status;
}
