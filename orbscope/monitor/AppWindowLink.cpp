// The real-time update of the main window: start, the poll timer, loss of
// the connection, stop, and the EVM statistics.

#include "AppWindow.h"
#include "ConstellationPlot.h"
#include "Identifiers.h"
#include "Reports.h"
#include "forms/Dialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <string>

namespace orbscope {

namespace {
using Reply = std::optional<std::string>;
// Exit codes of a snapshot run that could not draw.
constexpr int kSnapshotFailed = 1;
}  // namespace

template <typename Result>
void CAppWindow::OnLink(std::function<Result()> work, std::function<void(Result)> then,
                        std::function<void(Result)> abandon) {
  const unsigned generation = generation_;
  ++linkSteps_;
  monitor_->RunOnLink([this, generation, work = std::move(work), then = std::move(then), abandon = std::move(abandon)] {
    Result result = work();
    QMetaObject::invokeMethod(
        this,
        [this, generation, result = std::move(result), then, abandon] {
          --linkSteps_;
          if (generation != generation_) {
            if (abandon) abandon(result);
            return;
          }
          Guard([&] { then(result); });
        },
        Qt::QueuedConnection);
  });
}

void CAppWindow::StartRealTimeUpdate(bool automatic) {
  if (monitor_->IsConnected() || starting_) return;
  starting_ = true;
  connecting_ = true;
  // Stop is the way out of a connection attempt that hangs.
  EnableItem(IDM_START, false);
  EnableItem(IDM_STOP, true);
  monitor_->PrepareConnect();
  const HINTERNET session = monitor_->Session();
  const std::string address = monitor_->Address().Text();
  // A slow modem takes seconds to the first drawing: the plot says why.
  ShowProgress("Connecting to " + address + "...");
  OnLink<HINTERNET>([session, address] { return OpenModemConnection(session, address); },
                    [this, automatic](HINTERNET connection) {
                      connecting_ = false;
                      if (!monitor_->AttachConnection(connection)) {
                        starting_ = false;
                        monitor_->ClearPicture();
                        plot_->update();
                        EnableItem(IDM_START, true);
                        EnableItem(IDM_STOP, false);
                        Report(QStringLiteral("Unable to Connect to the ftp server."), forms::vbInformation,
                               QStringLiteral("Start Real Time Update"), this);
                        if (!options_.snapshotFile.isEmpty()) {
                          QCoreApplication::exit(kSnapshotFailed);
                        } else if (!automatic) {
                          close();
                        }
                        return;
                      }
                      ShowProgress("Waiting for data...");
                      StartSequenceRead(1);
                    },
                    [this](HINTERNET connection) {
                      // Connected after all, but nobody wants it any more.
                      monitor_->CloseAside(connection);
                    });
}

// The start sequence reads twice, one poll interval apart, before it sets
// the timer; if either read fails the link stays up without a timer.
void CAppWindow::StartSequenceRead(int readNumber) {
  const HINTERNET connection = monitor_->Connection();
  OnLink<Reply>([connection] { return FetchConstellation(connection); },
                [this, readNumber](Reply reply) {
                  if (!monitor_->ApplyConstellation(reply)) {
                    // As a failed poll: said, and the menus reset.
                    starting_ = false;
                    LostConnection();
                    return;
                  }
                  if (readNumber == 1) {
                    // The pause between the two reads holds neither the
                    // window nor the link: Stop ends it at once.
                    const unsigned generation = generation_;
                    ++linkSteps_;
                    QTimer::singleShot(monitor_->PollInterval(), this, [this, generation] {
                      --linkSteps_;
                      if (generation == generation_) Guard([this] { StartSequenceRead(2); });
                    });
                    return;
                  }
                  starting_ = false;
                  if (!timerRunning_) {
                    pollTimer_.start(monitor_->PollInterval());
                    timerRunning_ = true;
                  }
                });
}

void CAppWindow::TimerTick() {
  // The timer stays off while the read is out, so polls never overlap.
  pollTimer_.stop();
  const HINTERNET connection = monitor_->Connection();
  OnLink<Reply>([connection] { return FetchConstellation(connection); },
                [this](Reply reply) {
                  if (!monitor_->ApplyConstellation(reply)) {
                    LostConnection();
                    return;
                  }
                  if (monitor_->IsConnected()) Draw();
                  if (timerRunning_) pollTimer_.start(monitor_->PollInterval());
                });
}

void CAppWindow::LostConnection() {
  ++generation_;
  timerRunning_ = false;
  monitor_->Disconnect();
  EnableItem(IDM_START, true);
  EnableItem(IDM_STOP, false);
  SetStatistics(false);
  monitor_->ClearPicture();
  plot_->update();
  FailSnapshot(QStringLiteral("lost the connection to the modem"));
  Report(QStringLiteral("Lost ftp connection to the modem."), forms::vbInformation, QStringLiteral("Orbscope"), this);
}

void CAppWindow::StopRealTimeUpdate() {
  ++generation_;
  if (connecting_) {
    connecting_ = false;
    monitor_->RenewSession();
  }
  starting_ = false;
  monitor_->Disconnect();
  if (timerRunning_) {
    timerRunning_ = false;
    pollTimer_.stop();
  }
  EnableItem(IDM_START, true);
  EnableItem(IDM_STOP, false);
  SetStatistics(false);
  monitor_->ClearPicture();
  plot_->update();
}

void CAppWindow::ToggleStatistics() { SetStatistics(monitor_->ToggleStatistics()); }

void CAppWindow::ShowProgress(const std::string& text) {
  monitor_->ShowProgress(PlotFont(), text);
  plot_->update();
  plot_->ReadingChanged();
}

void CAppWindow::Draw() {
  monitor_->Draw(PlotFont());
  plot_->update();
  plot_->ReadingChanged();
  ++drawCount_;
  emit Drawn();
  forms::NoteUnattended(QStringLiteral("drawn constellation %1").arg(drawCount_));
  if (!options_.snapshotFile.isEmpty() && drawCount_ == 1) {
    if (!monitor_->Picture().save(options_.snapshotFile, "PNG")) {
      std::fprintf(stderr, "orbscope: cannot write %s\n", qPrintable(options_.snapshotFile));
      QCoreApplication::exit(kSnapshotFailed);
      return;
    }
    QCoreApplication::exit(0);
  }
}

void CAppWindow::FailSnapshot(const QString& why) {
  if (options_.snapshotFile.isEmpty()) return;
  std::fprintf(stderr, "orbscope: %s; no snapshot written\n", qPrintable(why));
  QCoreApplication::exit(kSnapshotFailed);
}

}  // namespace orbscope
