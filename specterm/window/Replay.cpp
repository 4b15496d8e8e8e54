#include "window/Replay.h"

#include "forms/Dialogs.h"
#include "interaction/Recorder.h"
#include "modems/Titles.h"
#include "processing/FftLibrary.h"
#include "processing/Processing.h"
#include "view/StatusBarPresenter.h"
#include "view/Waterfall.h"
#include "window/CaptureCycle.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolBar>

#include <algorithm>

namespace specterm {
namespace {

constexpr const char* kTitle = "Open Recording";
constexpr const char* kDialogTitle = "Specify the recording of data sets to open...";
constexpr const char* kTimeFormat = "yyyy-MM-dd HH:mm:ss";

QString PathOf(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  return slash < 0 ? QString() : fileName.left(slash + 1);
}

}  // namespace

Replay::Replay(ReplayControls& controls, QMainWindow& window, CaptureCycle& cycle, const Processing& spectrum,
               Waterfall& waterfall, Recorder& recorder, StatusBarPresenter& status)
    : c_(controls),
      window_(window),
      cycle_(cycle),
      spectrum_(spectrum),
      waterfall_(waterfall),
      recorder_(recorder),
      status_(status) {}

Replay::~Replay() = default;

std::size_t Replay::Count() const { return reader_ ? reader_->Count() : 0; }

void Replay::mnuFileOpenRecording_Click() {
  forms::FileDialogRequest request;
  request.kind = forms::FileDialogRequest::Kind::Open;
  request.title = QString::fromLatin1(kDialogTitle);
  request.initialFolder = recorder_.Folder();
  request.defaultExtension = QString::fromLatin1(kRecordingExtension);
  request.fileName = QStringLiteral("*.") + request.defaultExtension;
  request.filter = QStringLiteral("*.%1|*.%1|*.*|*.*").arg(QLatin1String(kRecordingExtension));
  const std::optional<QString> chosen = forms::ShowFileDialog(request, &window_);
  if (!chosen) return;
  recorder_.SetFolder(PathOf(*chosen));
  Open(*chosen);
}

bool Replay::Open(const QString& fileName) {
  auto reader = std::make_unique<RecordingReader>();
  std::optional<std::string> problem = reader->Open(QFile::encodeName(fileName).toStdString());
  if (!problem && reader->Count() == 0) problem = "it holds no whole data set";
  if (problem) {
    forms::MsgBox(QStringLiteral("The recording %1 cannot be replayed: %2")
                      .arg(fileName, QString::fromLocal8Bit(problem->c_str())),
                  forms::vbCritical, QString::fromLatin1(kTitle), &window_);
    return false;
  }
  if (!Active()) {
    // The modem's updates stop, and its rows wait for the replay to close.
    resumeUpdates_ = cycle_.Halt();
    liveRows_ = waterfall_.ExchangeHistory(WaterfallHistory());
    modemTitle_ = window_.windowTitle();
  } else {
    waterfall_.ExchangeHistory(WaterfallHistory());
  }
  reader_ = std::move(reader);
  fileName_ = fileName;
  replayTitle_ = QString::fromStdString(TitleReplay(QFileInfo(fileName).fileName().toStdString()));
  window_.setWindowTitle(replayTitle_);
  {
    const QSignalBlocker blocker(c_.sldReplay);
    c_.sldReplay->setRange(0, static_cast<int>(reader_->Count() - 1));
  }
  c_.tbReplay->show();
  emit LayoutChanged();
  MoveTo(reader_->Count() - 1);
  // After the redraw, which clears the "Status" text.
  if (reader_->TornBytes() > 0)
    status_.ShowStatusMessage(
        QStringLiteral("The last data set of %1 was cut short; it is left out.").arg(QFileInfo(fileName).fileName()));
  return true;
}

void Replay::MoveTo(std::size_t index) {
  if (!Active()) return;
  position_ = std::min(index, reader_->Count() - 1);
  // The same update as a data set from the modem.
  cycle_.ShowBlock(std::string(reader_->Block(position_)));
  FillWaterfall(position_);
  ShowPosition();
}

void Replay::First() { MoveTo(0); }
void Replay::Previous() { MoveTo(position_ > 0 ? position_ - 1 : 0); }
void Replay::Next() { MoveTo(position_ + 1); }
void Replay::Last() { MoveTo(Count() - 1); }

void Replay::FillWaterfall(std::size_t index) {
  const WaterfallHistory& rows = waterfall_.History();
  const auto record = static_cast<std::int64_t>(index);
  if (!rows.Empty() && rows.Newest().Source == record) return;
  if (!rows.Empty() && rows.Newest().Source == record - 1) {
    // The next data set: its row is the update's current trace.
    waterfall_.TakeDataSet(reader_->TimeMs(index), record);
    return;
  }
  // Elsewhere: the rows up to it. Those the waterfall holds already (its
  // rows are of consecutive records) are taken over; the others are made
  // as the update makes the current trace.
  const std::int64_t newest = rows.Empty() ? -1 : rows.Newest().Source;
  const std::int64_t oldest = rows.Empty() ? 0 : rows.Row(rows.Size() - 1).Source;
  const bool consecutive = !rows.Empty() && newest - oldest == static_cast<std::int64_t>(rows.Size()) - 1;
  const FftLibrary::Loaded fft = FftLibrary::Shared();
  if (!fft) return;
  const SpectrumUpdater updater(fft.Library);
  if (!rowState_) rowState_ = std::make_unique<SpectrumState>();
  WaterfallHistory fresh;
  const std::size_t count = std::min(index + 1, fresh.Capacity());
  UpdateOptions options;
  options.WindowSpectrum = spectrum_.WindowSpectrum();
  for (std::size_t i = index + 1 - count; i <= index; ++i) {
    const auto source = static_cast<std::int64_t>(i);
    WaterfallRow& row = fresh.PushNewest();
    if (consecutive && source >= oldest && source <= newest) {
      row = rows.Row(static_cast<std::size_t>(newest - source));
      continue;
    }
    ParseBlock(reader_->Block(i), rowState_->Block);
    if (!updater.Update(*rowState_, options).Error.empty()) return;
    RowFromTrace(rowState_->Traces.TraceX[kCurrentRow], rowState_->Traces.TraceY[kCurrentRow],
                 rowState_->Block.SpanScale, row);
    row.TimeMs = reader_->TimeMs(i);
    row.Source = source;
  }
  waterfall_.ExchangeHistory(std::move(fresh));
}

void Replay::ShowPosition() {
  {
    const QSignalBlocker blocker(c_.sldReplay);
    c_.sldReplay->setValue(static_cast<int>(position_));
  }
  const QString time =
      QDateTime::fromMSecsSinceEpoch(reader_->TimeMs(position_)).toString(QString::fromLatin1(kTimeFormat));
  c_.lblReplay->setText(QStringLiteral("Data set %1 of %2, %3").arg(position_ + 1).arg(reader_->Count()).arg(time));
  c_.cmdReplayFirst->setEnabled(position_ > 0);
  c_.cmdReplayPrevious->setEnabled(position_ > 0);
  c_.cmdReplayNext->setEnabled(position_ + 1 < reader_->Count());
  c_.cmdReplayLast->setEnabled(position_ + 1 < reader_->Count());
}

void Replay::Close(bool resume) {
  if (!Active()) return;
  reader_.reset();
  fileName_.clear();
  position_ = 0;
  waterfall_.ExchangeHistory(std::move(liveRows_));
  liveRows_ = WaterfallHistory();
  // A title the directory set meanwhile stays.
  if (window_.windowTitle() == replayTitle_) window_.setWindowTitle(modemTitle_);
  c_.tbReplay->hide();
  emit LayoutChanged();
  status_.ShowStatusMessage(QStringLiteral("The replay has been closed."));
  if (resume && resumeUpdates_) cycle_.StopGo();
  resumeUpdates_ = false;
}

}  // namespace specterm
