// The capture cycle: connect to the current modem, ask it for a capture,
// read the capture and hand it to the update, every 3 s; connection loss,
// Stop/Go and Single Step.
//
// The steps keep their order and their busy flags. Each FTP call and pause
// runs on the link thread (ModemSession); the step that follows it runs
// here when its result comes back, so the window keeps painting and taking
// commands while the modem answers. Halting abandons the step in flight:
// its result is dropped and its session closed at once.

#include "forms/Dialogs.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "link/ModemSession.h"
#include "modems/frmMain.h"
#include "processing/SpectrumConstants.h"
#include "view/Icons.h"

#include <QAction>
#include <QApplication>
#include <QTimer>

#include <vector>

namespace specterm {
namespace {

constexpr const char* kStartCaption = "&Start Data Set Updates";
constexpr const char* kStopCaption = "&Stop Data Set Updates";

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void ModemSessionDeleter::operator()(ModemSession* session) const { std::default_delete<ModemSession>()(session); }

ModemSessionPtr NewModemSession(QObject* context) { return ModemSessionPtr(new ModemSession(context)); }

// --- small pieces shared by the steps ---------------------------------------

namespace {

void SetStatusText(frmMain& f, const QString& text) { f.sbStatus->SetPanelText(QStringLiteral("Status"), text); }

// The link's status image shows on the "Status" panel and on the toolbar
// button of the same key.
void ShowLinkStatus(frmMain& f, int image) {
  f.SetStatusImage(image);
  f.tbMain->SetImage(QStringLiteral("Status"), f.imgToolbar.Icon(image));
}

// The stopped state that a failed connection leaves.
void ShowStopped(frmMain& f) {
  f.tbMain->SetPressed(QStringLiteral("StopGo"), true);
  f.Link.StopUpdates = true;
  f.mnuCommStopGo->setText(QString::fromLatin1(kStartCaption));
}

// The address of the current modem; empty when the directory lacks it.
std::string ModemAddress(const frmMain& f) {
  if (f.LastModem.empty() || !f.ModemList.Exists(f.LastModem)) return {};
  return f.ModemList.Item(f.LastModem)->IP_Address;
}

void BeginBusyCursor(frmMain& f) {
  if (f.Capture.BusyCursor) return;
  f.Capture.BusyCursor = true;
  // The window stays usable while the modem answers: arrow and hourglass.
  QApplication::setOverrideCursor(Qt::BusyCursor);
}

void EndBusyCursor(frmMain& f) {
  if (!f.Capture.BusyCursor) return;
  f.Capture.BusyCursor = false;
  QApplication::restoreOverrideCursor();
}

}  // namespace

void frmMain::ReleaseSession() { Ftp->Release(); }

void frmMain::AbandonLink() {
  Ftp->Abandon();
  Link.CaptureBusy = false;
  Link.ReadBusy = false;
  Link.SingleStepping = false;
  Capture.CycleRunning = false;
  Capture.Connecting = false;
  EndBusyCursor(*this);
}

// --- Connect ------------------------------------------------------------------

void frmMain::Connect(bool ShowStatus, bool NoTimerStart, std::function<void()> then) {
  const auto finish = [this, then = std::move(then)] {
    EndBusyCursor(*this);
    Capture.Connecting = false;
    if (then) then();
  };
  BeginBusyCursor(*this);
  Capture.Connecting = true;
  Ftp->Create();
  if (!Ftp->ConnectedToInternet()) {
    ShowLinkStatus(*this, kImageNotCommunicating);
    const std::uint64_t generation = Ftp->Generation();
    forms::MsgBox(QStringLiteral("A network connection could not be established!"), forms::vbCritical,
                  QStringLiteral("Cannot Connect"), this);
    if (generation != Ftp->Generation()) return;
    SetStatusText(*this, QString());
    ReleaseSession();
    ShowStopped(*this);
    finish();
    return;
  }

  ShowLinkStatus(*this, kImageReading);
  if (ShowStatus) SetStatusText(*this, QStringLiteral("Successful network access..."));
  const std::string address = ModemAddress(*this);
  if (ShowStatus)
    SetStatusText(*this, QStringLiteral("Attempting connection to ") + Text(LastModem) +
                             QStringLiteral(" (<Ctrl>S to Abort)..."));
  Ftp->ConnectToServer(address, "", "", [this, ShowStatus, NoTimerStart, address, finish] {
    if (Ftp->IsConnected()) {
      if (ShowStatus)
        SetStatusText(
            *this, QStringLiteral("Successful connection established to ") + Text(LastModem) + QStringLiteral("..."));
      ShowLinkStatus(*this, kImageConnected);
      Link.Connected = true;
      if (!NoTimerStart) {
        timerPoll->start();
        tbMain->SetPressed(QStringLiteral("StopGo"), false);
        Link.StopUpdates = false;
        mnuCommStopGo->setText(QString::fromLatin1(kStopCaption));
      }
    } else {
      ShowLinkStatus(*this, kImageNotCommunicating);
      SetStatusText(*this, QString());
      if (!Link.Connected) {
        const std::uint64_t generation = Ftp->Generation();
        forms::MsgBox(QStringLiteral("A connection to the Halden modem [") + Text(LastModem) +
                          QStringLiteral("] at IP address ") + Text(address) +
                          QStringLiteral(" could not be established!"),
                      forms::vbCritical, QStringLiteral("Cannot Connect To Server"), this);
        if (generation != Ftp->Generation()) return;
      }
      ReleaseSession();
      ShowStopped(*this);
    }
    finish();
  });
}

// --- the two capture steps ----------------------------------------------------

void frmMain::TriggerCapture(std::function<void(bool)> then) {
  if (Link.CaptureBusy || Mouse.ClickButton != 0) {
    then(false);
    return;
  }
  Link.CaptureBusy = true;
  Ftp->Create();
  Ftp->WriteFile(kCaptureFile, std::string(1, kCaptureRequest), [this, then = std::move(then)](bool written) {
    ReleaseSession();
    Link.CaptureBusy = false;
    then(written);
  });
}

void frmMain::ReadSpectrum(std::function<void(bool)> then) {
  if (Link.ReadBusy || Mouse.ClickButton != 0) {
    then(false);
    return;
  }
  Link.ReadBusy = true;
  Ftp->Create();
  Ftp->ReadFile(kSpectrumFile, static_cast<std::int32_t>(kBlockLength), [this, then](ModemSession::ReadResult read) {
    const std::uint64_t generation = Ftp->Generation();
    if (read.Opened) {
      if (read.Total != 0) {
        if (read.Buffer.size() < kBlockLength) {
          // A transfer cut short: its samples would be padding, so it is
          // neither parsed nor drawn.
          ShowStatusMessage(QStringLiteral("An incomplete data set was received (%1 of %2 bytes)!")
                                .arg(read.Buffer.size())
                                .arg(kBlockLength));
        } else {
          ParseBlock(read.Buffer, Spectrum->Block);
          for (std::size_t i = 0; i < kSpanPresetCount; ++i)
            mnuViewFB[i]->setText(Text(Spectrum->Block.SpanCaptions[i]));
          for (std::size_t i = 0; i < kSpanPresetCount; ++i)
            tbMain->SetButtonMenuText(QStringLiteral("FSpan"), static_cast<int>(i + 1),
                                      Text(Spectrum->Block.SpanCaptions[i]));
          cmdUpdate_Click();
          // The update stops the updates when it cannot run.
          if (generation != Ftp->Generation()) return;
          emit DataSetShown(++Capture.DataSets);
          if (generation != Ftp->Generation()) return;
        }
      }
      ReleaseSession();
      Link.ReadBusy = false;
      then(true);
      return;
    }

    ShowLinkStatus(*this, kImageReading);
    auto finish = [this, then] {
      Ftp->Create();
      if (Ftp->IsConnected()) Link.LossReported = false;
      Link.ReadBusy = false;
      then(false);
    };
    if (Link.LossReported) {
      Connect(true, false, finish);
      return;
    }
    Link.LossReported = true;
    const int answer = forms::MsgBox(
        QStringLiteral("The connection to the Halden modem [") + Text(LastModem) + QStringLiteral("] at IP address ") +
            Text(ModemAddress(*this)) + QStringLiteral(" has been lost!") +
            QStringLiteral("  Do you wish to re-establish communications?"),
        forms::vbYesNo | forms::vbCritical, QStringLiteral("Server Connection Lost"), this);
    if (generation != Ftp->Generation()) return;
    if (answer != forms::vbYes) {
      timerPoll->stop();
      ShowLinkStatus(*this, kImageNotCommunicating);
      ShowStatusMessage(QStringLiteral("Communications have been aborted!"));
      ShowStopped(*this);
      Link.Connected = false;
    }
    ReleaseSession();
    // Yes re-establishes the link now, so the cycles that follow have a
    // connection to work on.
    if (answer == forms::vbYes) {
      Connect(true, false, finish);
      return;
    }
    finish();
  });
}

// --- the cycle ------------------------------------------------------------------

void frmMain::timerPoll_Timer() {
  timerPoll->stop();
  // A connection made inside a cycle arms the timer; it may fire before
  // the cycle is over, and the cycle's end arms it again.
  if (Capture.CycleRunning) return;
  Capture.CycleRunning = true;
  const auto end = [this] {
    // Updates stopped during the cycle (a failed connection, No to the
    // lost-link question) stay stopped.
    if (!Link.StopUpdates) timerPoll->start();
    Link.SingleStepping = false;
    Capture.CycleRunning = false;
  };
  TriggerCapture([this, end](bool triggered) {
    if (!triggered) {
      end();
      return;
    }
    Ftp->Pause(kCapturePause, [this, end] {
      Connect(false, Link.SingleStepping, [this, end] {
        ReadSpectrum([this, end](bool read) {
          if (!read) {
            end();
            return;
          }
          Connect(false, Link.SingleStepping, end);
        });
      });
    });
  });
}

// --- commands -------------------------------------------------------------------

void frmMain::StopGo() {
  if (!Link.StopUpdates) {
    Link.StopUpdates = true;
    timerPoll->stop();
    // A halt in the first moments after start-up also holds the first
    // connection back.
    timerConnection->stop();
    tbMain->SetPressed(QStringLiteral("StopGo"), true);
    ShowLinkStatus(*this, kImageNotCommunicating);
    mnuCommStopGo->setText(QString::fromLatin1(kStartCaption));
    ShowStatusMessage(QStringLiteral("Halden communication has been halted!"));
    // A step in flight, a connection attempt included, ends here.
    AbandonLink();
    ReleaseSession();
    tbMain->SetEnabled(QStringLiteral("SingleStep"), true);
    mnuCommSingleStep->setEnabled(true);
    return;
  }
  if (LastModem.empty()) return;
  // A single step still in flight gives way to the running updates.
  if (Capture.CycleRunning || Capture.Connecting) {
    AbandonLink();
    ReleaseSession();
  }
  Link.StopUpdates = false;
  tbMain->SetPressed(QStringLiteral("StopGo"), false);
  Connect(true, false, [this] {
    Ftp->Create();
    if (!Ftp->IsConnected()) return;
    ShowLinkStatus(*this, kImageConnected);
    mnuCommStopGo->setText(QString::fromLatin1(kStopCaption));
    ShowStatusMessage(QStringLiteral("Halden communication has been resumed!"));
    timerPoll->start();
    tbMain->SetEnabled(QStringLiteral("SingleStep"), false);
    mnuCommSingleStep->setEnabled(false);
  });
}

void frmMain::SingleStep() {
  if (LastModem.empty()) return;
  // One step at a time: a cycle or connection in flight finishes first.
  if (Capture.CycleRunning || Capture.Connecting) return;
  timerPoll->stop();
  Link.SingleStepping = true;
  Connect(false, true, [this] { timerPoll_Timer(); });
}

void frmMain::WarmUp() {
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
