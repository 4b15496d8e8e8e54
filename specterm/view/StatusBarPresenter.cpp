#include "view/StatusBarPresenter.h"

#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "view/ToolbarControls.h"

#include <QProgressBar>
#include <QTimer>

namespace specterm {
namespace {

const QString kStatusKey = QStringLiteral("Status");
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
  c_.sbStatus->SetPanelTextInset(kStatusKey, c_.pbStatus->isVisible() ? c_.pbStatus->width() + kProgressGap : 0);
}

void StatusBarPresenter::SetProgressPainted(bool painted) { c_.pbStatus->setUpdatesEnabled(painted); }

void StatusBarPresenter::timerStatus_Timer() {
  c_.timerStatus->stop();
  c_.sbStatus->SetPanelText(kStatusKey, resting_);
}

}  // namespace specterm
