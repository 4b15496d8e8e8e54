#include "window/CaptureCycle.h"

#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "forms/QtText.h"
#include "interaction/Interaction.h"
#include "modems/ModemDirectory.h"
#include "processing/Processing.h"
#include "processing/SpectrumConstants.h"
#include "view/Icons.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ToolbarControls.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QTimer>

#include <vector>

namespace specterm {
namespace {

constexpr const char* kStartCaption = "&Start Data Set Updates";
constexpr const char* kStopCaption = "&Stop Data Set Updates";
// Failures inside a running cycle; the next cycle tries again.
constexpr const char* kCaptureFailedText = "The capture request to the Halden modem [%1] failed; retrying...";
constexpr const char* kReconnectFailedText = "The Halden modem [%1] cannot be reached; retrying...";
constexpr const char* kOverlongReadText = "The Halden modem [%1] sent more than a data set; it was cut, retrying...";
constexpr const char* kBandNotDrawableText =
    "The data set of the Halden modem [%1] was not shown: its band is too narrow to draw at its centre frequency";
constexpr const char* kReadFailedText = "The data set of the Halden modem [%1] cannot be read; retrying...";
// The way on while nothing runs.
constexpr const char* kNoModemGuidance = "No modem yet: Communications > Add Halden Modem";
constexpr const char* kStartHint = "Updates are stopped: Communications > Start Data Set Updates (Ctrl+S) starts them";

using forms::Text;

// The session's own notices, as message boxes titled as it titles them.
void ShowFtpMessage(QWidget* window, const FtpMessage& message) {
  const int icon = message.Icon == FtpMessage::Kind::Critical ? forms::vbCritical : forms::vbInformation;
  forms::MsgBox(QString::fromLocal8Bit(message.Text.data(), static_cast<qsizetype>(message.Text.size())),
                icon | forms::vbOKOnly, QString::fromLocal8Bit(message.Title.c_str()), window);
}

}  // namespace

CaptureCycle::CaptureCycle(CycleControls& controls, ToolbarControls& toolbar, QWidget* window, Processing& spectrum,
                           PlotView& view, Interaction& input, TraceSwitches& traces, StatusBarPresenter& status,
                           const ModemDirectory& directory)
    : c_(controls),
      toolbar_(toolbar),
      window_(window),
      spectrum_(spectrum),
      view_(view),
      input_(input),
      traces_(traces),
      status_(status),
      directory_(directory),
      Ftp(std::make_unique<ModemSession>(this,
                                         [window](const FtpMessage& message) { ShowFtpMessage(window, message); })) {}

CaptureCycle::~CaptureCycle() = default;

// --- small pieces shared by the steps ---------------------------------------

// The stopped state that a failed connection leaves.
void CaptureCycle::ShowStopped() {
  toolbar_.tbMain->SetPressed(QStringLiteral("StopGo"), true);
  SetStopUpdates(true);
  c_.mnuCommStopGo->setText(QString::fromLatin1(kStartCaption));
}

void CaptureCycle::SetStopUpdates(bool stopped) {
  link_.StopUpdates = stopped;
  ShowIdleGuidance();
}

void CaptureCycle::ShowIdleGuidance() {
  const bool stoppedWithModem = link_.StopUpdates && !directory_.LastModem().empty();
  status_.SetRestingText(stoppedWithModem ? QString::fromLatin1(kStartHint) : QString());
  const std::string guidance = directory_.ModemList().Count() == 0 ? kNoModemGuidance : "";
  if (view_.Overlay().Guidance == guidance) return;
  view_.SetGuidance(guidance);
  view_.UpdateView();
}

void CaptureCycle::ApplyStopUpdates(bool stopped) {
  SetStopUpdates(stopped);
  if (stopped) {
    toolbar_.tbMain->SetPressed(QStringLiteral("StopGo"), true);
    status_.ShowLinkStatus(kImageNotCommunicating);
    c_.mnuCommStopGo->setText(QString::fromLatin1(kStartCaption));
  } else {
    status_.SetStatusImage(kImageNotCommunicating);
  }
}

// The menu items and the toolbar buttons agree.
void CaptureCycle::EnableStopGo(bool enabled) {
  toolbar_.tbMain->SetEnabled(QStringLiteral("StopGo"), enabled);
  c_.mnuCommStopGo->setEnabled(enabled);
  ShowIdleGuidance();
}

void CaptureCycle::EnableSingleStep(bool enabled) {
  toolbar_.tbMain->SetEnabled(QStringLiteral("SingleStep"), enabled);
  c_.mnuCommSingleStep->setEnabled(enabled);
}

void CaptureCycle::BeginBusyCursor() {
  if (busyCursor_) return;
  busyCursor_ = true;
  // The window stays usable while the modem answers: arrow and hourglass.
  QApplication::setOverrideCursor(Qt::BusyCursor);
}

void CaptureCycle::EndBusyCursor() {
  if (!busyCursor_) return;
  busyCursor_ = false;
  QApplication::restoreOverrideCursor();
}

void CaptureCycle::ReleaseSession() { Ftp->Release(); }

void CaptureCycle::AbandonLink() {
  Ftp->Abandon();
  link_.CaptureBusy = false;
  link_.ReadBusy = false;
  link_.SingleStepping = false;
  cycleRunning_ = false;
  connecting_ = false;
  EndBusyCursor();
}

void CaptureCycle::Shutdown() {
  // A step still in flight is dropped with the session.
  AbandonLink();
  ReleaseSession();
}

void CaptureCycle::StartUp() {
  if (directory_.LastModem().empty()) {
    // Nothing to poll: the updates show as stopped until a modem is chosen
    // and Go starts them.
    if (!link_.StopUpdates) ApplyStopUpdates(true);
    ShowIdleGuidance();
    return;
  }
  ShowIdleGuidance();
  if (!link_.StopUpdates) StartConnectionTimer();
}

void CaptureCycle::StartConnectionTimer() { c_.timerConnection->start(); }

std::string CaptureCycle::LinkedModem() const {
  return link_.Connected && !link_.StopUpdates ? modem_.Name : std::string();
}

bool CaptureCycle::TakeModem() {
  const LinkModem modem = directory_.CurrentLink();
  if (!(modem == modem_)) {
    // Another modem (or address): its link is yet to be made, and its
    // failures are reported afresh.
    link_.Connected = false;
    link_.LossReported = false;
    modem_ = modem;
  }
  return !modem_.Name.empty();
}

// The first connection after start-up; from here the capture cycle owns
// the link.
void CaptureCycle::timerConnection_Timer() {
  c_.timerConnection->stop();
  if (!TakeModem()) return;
  status_.SetProgress(0);
  Connect(true, false, [this] { status_.SetProgress(0); });
}

// --- Connect ------------------------------------------------------------------

void CaptureCycle::ShowCycleFailure(const QString& text) {
  status_.ShowLinkStatus(kImageNotCommunicating);
  status_.ShowStatusMessage(text.arg(Text(modem_.Name)));
}

void CaptureCycle::ConnectInCycle(std::function<void()> then) {
  Connect(false, link_.SingleStepping, std::move(then), ConnectFrom::Cycle);
}

void CaptureCycle::Connect(bool ShowStatus, bool NoTimerStart, std::function<void()> then, ConnectFrom from) {
  const auto finish = [this, then = std::move(then)] {
    EndBusyCursor();
    connecting_ = false;
    if (then) then();
  };
  if (from == ConnectFrom::Command) BeginBusyCursor();
  connecting_ = true;
  Ftp->Create();
  if (!Ftp->ConnectedToInternet()) {
    status_.ShowLinkStatus(kImageNotCommunicating);
    const std::uint64_t generation = Ftp->Generation();
    forms::MsgBox(QStringLiteral("A network connection could not be established!"), forms::vbCritical,
                  QStringLiteral("Cannot Connect"), window_);
    if (generation != Ftp->Generation()) return;
    status_.SetStatusText(QString());
    ReleaseSession();
    ShowStopped();
    finish();
    return;
  }

  status_.ShowLinkStatus(kImageReading);
  if (ShowStatus) status_.SetStatusText(QStringLiteral("Successful network access..."));
  const std::string address = modem_.Address;
  if (ShowStatus)
    status_.SetStatusText(QStringLiteral("Attempting connection to ") + Text(modem_.Name) +
                          QStringLiteral(" (<Ctrl>S to Abort)..."));
  Ftp->ConnectToServer(address, "", "", [this, ShowStatus, NoTimerStart, from, address, finish] {
    if (Ftp->IsConnected()) {
      if (ShowStatus)
        status_.SetStatusText(QStringLiteral("Successful connection established to ") + Text(modem_.Name) +
                              QStringLiteral("..."));
      // Connected, but while the reads keep failing the failure stays shown.
      if (!(from == ConnectFrom::Cycle && link_.LossReported)) status_.ShowLinkStatus(kImageConnected);
      link_.Connected = true;
      if (!NoTimerStart) {
        c_.timerPoll->start();
        toolbar_.tbMain->SetPressed(QStringLiteral("StopGo"), false);
        SetStopUpdates(false);
        c_.mnuCommStopGo->setText(QString::fromLatin1(kStopCaption));
      }
    } else if (from == ConnectFrom::Cycle && link_.Connected) {
      // The modem was reached before: the updates go on, and the next cycle
      // connects afresh, so polling recovers by itself when the modem does.
      ReleaseSession();
      ShowCycleFailure(QString::fromLatin1(kReconnectFailedText));
    } else {
      status_.ShowLinkStatus(kImageNotCommunicating);
      status_.SetStatusText(QString());
      if (!link_.Connected) {
        const std::uint64_t generation = Ftp->Generation();
        forms::MsgBox(QStringLiteral("A connection to the Halden modem [") + Text(modem_.Name) +
                          QStringLiteral("] at IP address ") + Text(address) +
                          QStringLiteral(" could not be established!"),
                      forms::vbCritical, QStringLiteral("Cannot Connect To Server"), window_);
        if (generation != Ftp->Generation()) return;
      }
      ReleaseSession();
      ShowStopped();
    }
    finish();
  });
}

// --- the two capture steps ----------------------------------------------------

void CaptureCycle::TriggerCapture(std::function<void(bool)> then) {
  if (link_.CaptureBusy || input_.ClickPending()) {
    then(false);
    return;
  }
  link_.CaptureBusy = true;
  Ftp->Create();
  Ftp->WriteFile(kCaptureFile, std::string(1, kCaptureRequest), [this, then = std::move(then)](bool written) {
    ReleaseSession();
    link_.CaptureBusy = false;
    // A refused request or a connection the modem dropped while idle: said
    // at once, and the next cycle starts on a fresh connection.
    if (!written) ShowCycleFailure(QString::fromLatin1(kCaptureFailedText));
    then(written);
  });
}

void CaptureCycle::ReadSpectrum(std::function<void(bool)> then) {
  if (link_.ReadBusy || input_.ClickPending()) {
    then(false);
    return;
  }
  link_.ReadBusy = true;
  Ftp->Create();
  Ftp->ReadFile(kSpectrumFile, static_cast<std::int32_t>(kBlockLength), [this, then](ModemSession::ReadResult read) {
    const std::uint64_t generation = Ftp->Generation();
    if (read.Opened) {
      // The outage, if there was one, is over.
      link_.LossReported = false;
      link_.LossAccepted = false;
      if (read.LimitReached) {
        // A transfer that did not end was cut at the read limit: nothing of
        // it is shown.
        ShowCycleFailure(QString::fromLatin1(kOverlongReadText));
      } else if (read.Total != 0) {
        if (read.Buffer.size() < kBlockLength) {
          // A transfer cut short: its samples would be padding, so it is
          // neither parsed nor drawn.
          status_.ShowStatusMessage(QStringLiteral("An incomplete data set was received (%1 of %2 bytes)!")
                                        .arg(read.Buffer.size())
                                        .arg(kBlockLength));
        } else if (input_.ClickPending()) {
          // A mouse button is held on the plot: the data set is shown when
          // the click has ended, not under the gesture.
          heldBlock_ = std::move(read.Buffer);
        } else {
          ShowDataSet(read.Buffer);
          // The update stops the updates when it cannot run.
          if (generation != Ftp->Generation()) return;
        }
      }
      ReleaseSession();
      link_.ReadBusy = false;
      then(true);
      return;
    }

    status_.ShowLinkStatus(kImageReading);
    auto finish = [this, then] {
      Ftp->Create();
      // After Yes, the outage stays reported until a data set comes: a read
      // that keeps failing reconnects without asking again every cycle.
      if (Ftp->IsConnected() && !link_.LossAccepted) link_.LossReported = false;
      link_.ReadBusy = false;
      then(false);
    };
    // While the reads keep failing, each reconnection says so.
    const auto reconnect = [this, finish] {
      ConnectInCycle([this, finish] {
        if (Ftp->IsConnected()) ShowCycleFailure(QString::fromLatin1(kReadFailedText));
        finish();
      });
    };
    if (link_.LossReported) {
      reconnect();
      return;
    }
    link_.LossReported = true;
    const int answer = forms::MsgBox(
        QStringLiteral("The connection to the Halden modem [") + Text(modem_.Name) +
            QStringLiteral("] at IP address ") + Text(modem_.Address) + QStringLiteral(" has been lost!") +
            QStringLiteral("  Do you wish to re-establish communications?"),
        forms::vbYesNo | forms::vbCritical, QStringLiteral("Server Connection Lost"), window_);
    if (generation != Ftp->Generation()) return;
    if (answer != forms::vbYes) {
      c_.timerPoll->stop();
      status_.ShowLinkStatus(kImageNotCommunicating);
      status_.ShowStatusMessage(QStringLiteral("Communications have been aborted!"));
      ShowStopped();
      link_.Connected = false;
    }
    ReleaseSession();
    // Yes re-establishes the link now, so the cycles that follow have a
    // connection to work on.
    if (answer == forms::vbYes) {
      link_.LossAccepted = true;
      reconnect();
      return;
    }
    finish();
  });
}

bool CaptureCycle::ShowBlock(const std::string& block) {
  // A band the plot cannot represent would leave it without a view.
  if (!BandDrawable(block)) {
    status_.ShowStatusMessage(QString::fromLatin1(kBandNotDrawableText).arg(Text(modem_.Name)));
    return false;
  }
  spectrum_.ParseBlock(block);
  view_.SetSpanCaptions(spectrum_.Block().SpanCaptions);
  cmdUpdate_Click();
  return true;
}

bool CaptureCycle::Halt() {
  heldBlock_.clear();
  if (!link_.StopUpdates) {
    StopGo();
    return true;
  }
  c_.timerConnection->stop();
  if (cycleRunning_ || connecting_) {
    AbandonLink();
    ReleaseSession();
  }
  return false;
}

void CaptureCycle::ShowDataSet(const std::string& block) {
  lastArrival_ = QDateTime::currentMSecsSinceEpoch();
  emit BlockArrived(block, lastArrival_);
  const std::uint64_t generation = Ftp->Generation();
  if (!ShowBlock(block) || generation != Ftp->Generation()) return;
  emit DataSetShown(++dataSets_);
  forms::NoteUnattended(QStringLiteral("drawn data set %1").arg(dataSets_));
}

void CaptureCycle::ShowHeldDataSet() {
  if (heldBlock_.empty()) return;
  // After the handler that ended the click has finished.
  QTimer::singleShot(0, this, [this] {
    if (heldBlock_.empty() || input_.ClickPending()) return;
    const std::string block = std::move(heldBlock_);
    heldBlock_.clear();
    ShowDataSet(block);
  });
}

// --- the cycle ------------------------------------------------------------------

void CaptureCycle::timerPoll_Timer() {
  c_.timerPoll->stop();
  // A connection made inside a cycle arms the timer; it may fire before
  // the cycle is over, and the cycle's end arms it again.
  if (cycleRunning_) return;
  // Each cycle works with one modem: one chosen meanwhile is taken now.
  if (!TakeModem()) {
    // The last modem was removed: nothing is left to poll.
    status_.ShowLinkStatus(kImageNotCommunicating);
    ShowStopped();
    return;
  }
  cycleRunning_ = true;
  const auto end = [this] {
    // Updates stopped during the cycle (a failed connection, No to the
    // lost-link question) stay stopped.
    if (!link_.StopUpdates) c_.timerPoll->start();
    link_.SingleStepping = false;
    cycleRunning_ = false;
  };
  const auto cycle = [this, end] {
    TriggerCapture([this, end](bool triggered) {
      if (!triggered) {
        end();
        return;
      }
      Ftp->Pause(kCapturePause, [this, end] {
        ConnectInCycle([this, end] {
          // Without a connection there is nothing to read this time.
          if (!Ftp->IsConnected()) {
            end();
            return;
          }
          ReadSpectrum([this, end](bool read) {
            if (!read) {
              end();
              return;
            }
            ConnectInCycle(end);
          });
        });
      });
    });
  };
  // The last step of a cycle leaves a connection for the next one; after a
  // failure there is none, and this cycle makes it.
  if (Ftp->IsConnected()) {
    cycle();
    return;
  }
  ConnectInCycle([this, cycle, end] {
    if (Ftp->IsConnected())
      cycle();
    else
      end();
  });
}

// --- commands -------------------------------------------------------------------

void CaptureCycle::StopGo() {
  if (!link_.StopUpdates) {
    SetStopUpdates(true);
    c_.timerPoll->stop();
    // A halt in the first moments after start-up also holds the first
    // connection back.
    c_.timerConnection->stop();
    toolbar_.tbMain->SetPressed(QStringLiteral("StopGo"), true);
    status_.ShowLinkStatus(kImageNotCommunicating);
    c_.mnuCommStopGo->setText(QString::fromLatin1(kStartCaption));
    status_.ShowStatusMessage(QStringLiteral("Halden communication has been halted!"));
    // A step in flight, a connection attempt included, ends here.
    AbandonLink();
    ReleaseSession();
    toolbar_.tbMain->SetEnabled(QStringLiteral("SingleStep"), true);
    c_.mnuCommSingleStep->setEnabled(true);
    return;
  }
  if (!TakeModem()) return;
  // A single step still in flight gives way to the running updates.
  if (cycleRunning_ || connecting_) {
    AbandonLink();
    ReleaseSession();
  }
  SetStopUpdates(false);
  toolbar_.tbMain->SetPressed(QStringLiteral("StopGo"), false);
  Connect(true, false, [this] {
    Ftp->Create();
    if (!Ftp->IsConnected()) return;
    status_.ShowLinkStatus(kImageConnected);
    c_.mnuCommStopGo->setText(QString::fromLatin1(kStopCaption));
    status_.ShowStatusMessage(QStringLiteral("Halden communication has been resumed!"));
    c_.timerPoll->start();
    toolbar_.tbMain->SetEnabled(QStringLiteral("SingleStep"), false);
    c_.mnuCommSingleStep->setEnabled(false);
  });
}

void CaptureCycle::SingleStep() {
  // One step at a time: a cycle or connection in flight finishes first.
  if (cycleRunning_ || connecting_ || !TakeModem()) return;
  c_.timerPoll->stop();
  link_.SingleStepping = true;
  Connect(false, true, [this] {
    // A failed connection has been reported; the step ends there.
    if (!Ftp->IsConnected()) {
      link_.SingleStepping = false;
      return;
    }
    timerPoll_Timer();
  });
}

void CaptureCycle::WarmUp() {
  Ftp->RunOnLinkThread([] {
    InternetCloseHandle(InternetOpenA(FTP_Server::kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    const FftLibrary::Loaded loaded = FftLibrary::Shared();
    if (!loaded) return;
    std::vector<float> in(kSampleCount, 0.0f);
    std::vector<float> outReal(kSampleCount);
    std::vector<float> outImag(kSampleCount);
    loaded.Library->FftFloat(static_cast<unsigned>(kSampleCount), 0, in.data(), in.data(), outReal.data(),
                             outImag.data());
  });
}

}  // namespace specterm
