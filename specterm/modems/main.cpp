// The Halden Spectrum Analyzer: one main window; closing it ends the program.

#include "modems/RegSettings.h"
#include "modems/Titles.h"
#include "modems/frmMain.h"
#include "view/Icons.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(specterm::kAppTitle));
  QApplication::setApplicationVersion(QString::fromStdString(specterm::VersionText()));
  QApplication::setWindowIcon(specterm::ProgramIcon());

  specterm::frmMain form;
  form.Form_Load();
  return app.exec();
}
