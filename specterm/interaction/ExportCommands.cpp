// The File menu's data-set exports and the "Export" toolbar button: a save
// dialog that starts in the folder of the last export, a question before a
// file is overwritten, the writer with the progress bar, and the folder and
// kind remembered for next time.

#include "interaction/ExportCommands.h"

#include "forms/Dialogs.h"
#include "processing/DataSetExport.h"
#include "processing/Processing.h"
#include "processing/TraceCsv.h"
#include "view/StatusBarPresenter.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

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

constexpr const char* kCsvTitle = "Save Traces as CSV";
constexpr const char* kCsvExtension = "csv";
constexpr const char* kCsvFilter = "CSV files|*.csv|All files|*";

// The file name up to and including its last "/"; empty without one.
QString PathOf(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : fileName.left(slash + 1);
}

}  // namespace

ExportCommands::ExportCommands(QWidget* window, const Processing& spectrum, StatusBarPresenter& status)
    : window_(window), spectrum_(spectrum), status_(status) {}

// Writes the data set unless the user declines to overwrite; a failure is
// shown with its reason and the file's name.
void ExportCommands::Write(int kind, const QString& fileName) {
  const ExportCommand& command = kExportCommands[static_cast<std::size_t>(kind)];
  if (QFileInfo::exists(fileName)) {
    const int answer = forms::MsgBox(QString::fromLatin1(command.overwriteText) + fileName +
                                         QStringLiteral(" already exists!  Do you wish to overwrite this file?"),
                                     forms::vbYesNo | forms::vbExclamation, QStringLiteral("OK to Overwrite"), window_);
    if (answer == forms::vbNo) return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ExportResult result = WriteDataSet(command.kind, QFile::encodeName(fileName).toStdString(), spectrum_.State(),
                                           [this](int percent) { status_.SetProgress(percent); });
  status_.SetProgress(0);
  QApplication::restoreOverrideCursor();
  if (!result.Ok) {
    forms::MsgBox(QString::fromLocal8Bit(result.Message()), forms::vbCritical, QStringLiteral("Export Failed"),
                  window_);
    return;
  }
  lastExport_ = static_cast<std::int32_t>(command.kind);
}

void ExportCommands::Run(int kind) {
  const ExportCommand& command = kExportCommands[static_cast<std::size_t>(kind)];
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Save;
  request.title = QString::fromLatin1(command.title);
  request.initialFolder = QString::fromStdString(lastPath_);
  request.defaultExtension = QString::fromLatin1(kDefaultExtension);
  request.fileName = QStringLiteral("*.") + request.defaultExtension;
  request.filter = QString::fromLatin1(kFilter);
  request.filterIndex = 1;
  // The writer asks before it overwrites.
  request.confirmOverwrite = false;
  const std::optional<QString> chosen = forms::ShowFileDialog(request, window_);
  if (!chosen) return;
  Write(kind, *chosen);
  lastPath_ = PathOf(*chosen).toStdString();
}

void ExportCommands::mnuFileRaw_Click() { Run(static_cast<int>(ExportKind::Raw)); }
void ExportCommands::mnuFileTransformed_Click() { Run(static_cast<int>(ExportKind::Transformed)); }
void ExportCommands::mnuFileScaled_Click() { Run(static_cast<int>(ExportKind::Scaled)); }
void ExportCommands::mnuFilePeakHold_Click() { Run(static_cast<int>(ExportKind::PeakHold)); }
void ExportCommands::mnuFileVideoAverage_Click() { Run(static_cast<int>(ExportKind::VideoAverage)); }

void ExportCommands::mnuFileCsv_Click() {
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Save;
  request.title = QString::fromLatin1(kCsvTitle);
  request.initialFolder = QString::fromStdString(lastPath_);
  request.defaultExtension = QString::fromLatin1(kCsvExtension);
  request.fileName = QStringLiteral("traces.csv");
  request.filter = QString::fromLatin1(kCsvFilter);
  request.confirmOverwrite = true;
  const std::optional<QString> chosen = forms::ShowFileDialog(request, window_);
  if (!chosen) return;
  lastPath_ = PathOf(*chosen).toStdString();
  const TraceCsvSource source{modemName_ ? modemName_() : std::string(), spectrum_.DataSetTime()};
  const ExportResult result =
      WriteFileReplacing(QFile::encodeName(*chosen).toStdString(), TraceCsvText(spectrum_.State(), source));
  if (!result.Ok)
    forms::MsgBox(QString::fromLocal8Bit(result.Message()), forms::vbCritical, QStringLiteral("Save Failed"), window_);
}

bool ExportCommands::RunMenuItem(const QString& menuKey) {
  for (const ExportCommand& command : kExportCommands)
    if (menuKey == QLatin1String(command.menuKey)) {
      Run(static_cast<int>(command.kind));
      return true;
    }
  return false;
}

void ExportCommands::RepeatLast() {
  // The drop-down entry at the position of the last kind.
  const std::size_t index =
      lastExport_ >= 0 && lastExport_ < static_cast<std::int32_t>(kExportCommands.size()) ? lastExport_ : 0;
  RunMenuItem(QString::fromLatin1(kExportCommands[index].menuKey));
}

}  // namespace specterm
