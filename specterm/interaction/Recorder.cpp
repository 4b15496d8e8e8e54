#include "interaction/Recorder.h"

#include "forms/Dialogs.h"
#include "view/StatusBarPresenter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

namespace specterm {
namespace {

constexpr const char* kTitle = "Record Data Sets";
constexpr const char* kDialogTitle = "Specify the file to record the data sets to...";
// Room between the "Status" text and the count, in pixels.
constexpr int kCountGap = 8;

QString Filter() { return QStringLiteral("*.%1|*.%1|*.*|*.*").arg(QLatin1String(kRecordingExtension)); }

QString PathOf(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : fileName.left(slash + 1);
}

}  // namespace

Recorder::Recorder(RecorderControls& controls, QWidget* window, StatusBarPresenter& status)
    : c_(controls), window_(window), status_(status), folder_(QDir::homePath() + QLatin1Char('/')) {}

Recorder::~Recorder() = default;

void Recorder::mnuFileRecord_Click() {
  if (Recording()) {
    Stop();
    return;
  }
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Save;
  request.title = QString::fromLatin1(kDialogTitle);
  request.initialFolder = folder_;
  request.defaultExtension = QString::fromLatin1(kRecordingExtension);
  request.fileName = QStringLiteral("*.") + request.defaultExtension;
  request.filter = Filter();
  request.confirmOverwrite = true;
  const std::optional<QString> chosen = forms::ShowFileDialog(request, window_);
  if (chosen) {
    folder_ = PathOf(*chosen);
    Start(*chosen);
  }
  // Checked only while a recording runs, whatever the click did to it.
  ShowState();
}

bool Recorder::Start(const QString& fileName) {
  Stop();
  if (const std::optional<std::string> problem = writer_.Create(QFile::encodeName(fileName).toStdString())) {
    forms::MsgBox(QStringLiteral("The recording file %1 could not be created: %2")
                      .arg(fileName, QString::fromLocal8Bit(problem->c_str())),
                  forms::vbCritical, QString::fromLatin1(kTitle), window_);
    ShowState();
    return false;
  }
  fileName_ = fileName;
  status_.ShowStatusMessage(QStringLiteral("Recording data sets to %1...").arg(QFileInfo(fileName).fileName()));
  ShowState();
  return true;
}

void Recorder::Stop() {
  if (!Recording()) return;
  writer_.Close();
  status_.ShowStatusMessage(QStringLiteral("Recording stopped: %1 data sets in %2")
                                .arg(writer_.Records())
                                .arg(QFileInfo(fileName_).fileName()));
  ShowState();
}

void Recorder::BlockArrived(std::string_view block, std::int64_t timeMs) {
  if (!Recording()) return;
  const std::optional<std::string> problem = writer_.Append(timeMs, block);
  if (!problem) {
    ShowState();
    return;
  }
  writer_.Close();
  ShowState();
  // Told once the data set has been shown, outside the capture cycle's step.
  const QString text =
      QStringLiteral("The recording to %1 failed after %2 data sets: %3  The recording has been stopped.")
          .arg(fileName_)
          .arg(writer_.Records())
          .arg(QString::fromLocal8Bit(problem->c_str()));
  QTimer::singleShot(0, this,
                     [this, text] { forms::MsgBox(text, forms::vbCritical, QString::fromLatin1(kTitle), window_); });
}

void Recorder::ShowState() {
  const bool recording = Recording();
  c_.mnuFileRecord->setChecked(recording);
  c_.lblRecording->setVisible(recording);
  if (recording) {
    c_.lblRecording->setText(QStringLiteral("Recorded: %1").arg(writer_.Records()));
    c_.lblRecording->setToolTip(QStringLiteral("Data sets recorded to %1").arg(fileName_));
  }
  status_.ReserveStatusRoom(recording ? c_.lblRecording->sizeHint().width() + kCountGap : 0);
}

}  // namespace specterm
