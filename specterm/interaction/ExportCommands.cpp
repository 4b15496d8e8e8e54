// The File menu's data-set exports and the "Export" toolbar button: a save
// dialog that starts in the folder of the last export, a question before a
// file is overwritten, the writer with the progress bar, and the folder and
// kind remembered for next time.

#include "interaction/ExportCommands.h"

#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "modems/frmMain.h"
#include "processing/DataSetExport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

#include <array>

namespace specterm {
namespace {

struct ExportCommand {
  ExportKind kind;
  const char* menuKey;  // entry of the "Export" button's drop-down
  const char* title;
  const char* overwriteText;
};

// In the order of the File menu, which is also that of LastExport.
constexpr std::array<ExportCommand, 5> kExportCommands = {{
    {ExportKind::Raw, "Raw", "Specify the raw data set file to export...", "The raw data set file "},
    {ExportKind::Transformed, "Transformed", "Specify the transformed data set file to export...",
     "The transformed data set file "},
    {ExportKind::Scaled, "TranScaled", "Specify the transformed & scaled data set file to export...",
     "The transformed & scaled data set file "},
    {ExportKind::PeakHold, "PeakHold", "Specify the peak hold data set file to export...",
     "The peak hold data set file "},
    {ExportKind::VideoAverage, "VideoAverage", "Specify the video average data set file to export...",
     "The video average data set file "},
}};

constexpr const char* kDefaultExtension = "TXT";
constexpr const char* kFilter = "*.TXT|*.TXT|*.*|*.*";

const ExportCommand& CommandOf(ExportKind kind) { return kExportCommands[static_cast<std::size_t>(kind)]; }

// The file name up to and including its last "/"; empty without one.
QString PathOf(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : fileName.left(slash + 1);
}

// Writes the data set unless the user declines to overwrite; a failure is
// shown with its reason and the file's name.
void WriteExport(frmMain& f, const ExportCommand& command, const QString& fileName) {
  if (QFileInfo::exists(fileName)) {
    const int answer = forms::MsgBox(QString::fromLatin1(command.overwriteText) + fileName +
                                         QStringLiteral(" already exists!  Do you wish to overwrite this file?"),
                                     forms::vbYesNo | forms::vbExclamation, QStringLiteral("OK to Overwrite"), &f);
    if (answer == forms::vbNo) return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ExportResult result = WriteDataSet(command.kind, QFile::encodeName(fileName).toStdString(), *f.Spectrum,
                                           [&f](int percent) { f.pbStatus->setValue(percent); });
  f.pbStatus->setValue(0);
  QApplication::restoreOverrideCursor();
  if (!result.Ok) {
    forms::MsgBox(QString::fromLocal8Bit(result.Message()), forms::vbCritical, QStringLiteral("Export Failed"), &f);
    return;
  }
  f.Export.LastExport = static_cast<std::int32_t>(command.kind);
}

void RunExport(frmMain& f, ExportKind kind) {
  const ExportCommand& command = CommandOf(kind);
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Save;
  request.title = QString::fromLatin1(command.title);
  request.initialFolder = QString::fromStdString(f.Export.LastPath);
  request.defaultExtension = QString::fromLatin1(kDefaultExtension);
  request.fileName = QStringLiteral("*.") + request.defaultExtension;
  request.filter = QString::fromLatin1(kFilter);
  request.filterIndex = 1;
  // The writer asks before it overwrites.
  request.confirmOverwrite = false;
  const std::optional<QString> chosen = forms::ShowFileDialog(request, &f);
  if (!chosen) return;
  WriteExport(f, command, *chosen);
  f.Export.LastPath = PathOf(*chosen).toStdString();
}

}  // namespace

void frmMain::mnuFileRaw_Click() { RunExport(*this, ExportKind::Raw); }
void frmMain::mnuFileTransformed_Click() { RunExport(*this, ExportKind::Transformed); }
void frmMain::mnuFileScaled_Click() { RunExport(*this, ExportKind::Scaled); }
void frmMain::mnuFilePeakHold_Click() { RunExport(*this, ExportKind::PeakHold); }
void frmMain::mnuFileVideoAverage_Click() { RunExport(*this, ExportKind::VideoAverage); }

bool RunExportMenuItem(frmMain& f, const QString& menuKey) {
  for (const ExportCommand& command : kExportCommands)
    if (menuKey == QLatin1String(command.menuKey)) {
      RunExport(f, command.kind);
      return true;
    }
  return false;
}

}  // namespace specterm
