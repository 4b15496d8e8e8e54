#include "view/StatusBarPresenter.h"

#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "processing/SampleBlock.h"
#include "view/ToolbarControls.h"

#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace specterm {
namespace {

const QString kStatusKey = QStringLiteral("Status");
const QString kSampleRateKey = QStringLiteral("SampleRate");
constexpr int kBandwidthDecimals = 3;
// Room between the panel's text and the progress bar, in pixels.
constexpr int kProgressGap = 6;

}  // namespace

StatusBarPresenter::StatusBarPresenter(StatusControls& controls, ToolbarControls& toolbar)
    : c_(controls), toolbar_(toolbar) {}

void StatusBarPresenter::ShowStatusMessage(const QString& text) {
  c_.sbStatus->SetPanelText(kStatusKey, text);
  // Every notice gets its full five seconds.
  c_.timerStatus->start();
}

void StatusBarPresenter::SetStatusText(const QString& text) {
  c_.sbStatus->SetPanelText(kStatusKey, text.isEmpty() ? resting_ : text);
}

void StatusBarPresenter::SetRestingText(const QString& text) {
  if (text == resting_) return;
  const bool resting = c_.sbStatus->PanelText(kStatusKey) == resting_;
  resting_ = text;
  if (resting) c_.sbStatus->SetPanelText(kStatusKey, resting_);
}

void StatusBarPresenter::SetPanelText(const QString& key, const QString& text) { c_.sbStatus->SetPanelText(key, text); }

QString StatusBarPresenter::PanelText(const QString& key) const { return c_.sbStatus->PanelText(key); }

void StatusBarPresenter::ShowResolutionBandwidth(double sampleRate) {
  // The panel's description stays the tip's first line; the panel itself
  // reads half the rate.
  c_.sbStatus->SetPanelDescription(
      kSampleRateKey, QStringLiteral("Sample Rate\nResolution bandwidth %1 kHz (sample rate %2 MHz / %3)")
                          .arg(QString::number(ResolutionBandwidthKHz(sampleRate), 'f', kBandwidthDecimals))
                          .arg(QString::number(sampleRate / 10.0, 'f', kBandwidthDecimals))
                          .arg(kSampleCount));
}

void StatusBarPresenter::SetPanelCovered(const QString& key, bool covered) {
  c_.sbStatus->SetPanelCovered(key, covered);
}

void StatusBarPresenter::ShowLinkStatus(int image) {
  SetStatusImage(image);
  toolbar_.tbMain->SetImage(kStatusKey, toolbar_.imgToolbar.Icon(image));
}

void StatusBarPresenter::SetStatusImage(int image) {
  c_.sbStatus->SetPanelPicture(kStatusKey, toolbar_.imgToolbar.Picture(image));
}

void StatusBarPresenter::SetProgress(int percent) { c_.pbStatus->setValue(percent); }

void StatusBarPresenter::ProgressChanged(int percent) {
  c_.pbStatus->setVisible(percent > 0);
  ShowProgressRoom();
}

void StatusBarPresenter::ShowProgressRoom() {
  const int progress = c_.pbStatus->isVisible() ? c_.pbStatus->width() + kProgressGap : 0;
  c_.sbStatus->SetPanelTextInset(kStatusKey, std::max(progress, reservedRoom_));
}

void StatusBarPresenter::ReserveStatusRoom(int pixels) {
  reservedRoom_ = pixels;
  ShowProgressRoom();
}

void StatusBarPresenter::SetProgressPainted(bool painted) { c_.pbStatus->setUpdatesEnabled(painted); }

void StatusBarPresenter::timerStatus_Timer() {
  c_.timerStatus->stop();
  c_.sbStatus->SetPanelText(kStatusKey, resting_);
}

}  // namespace specterm
