#include "view/StatusBarPresenter.h"

#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "window/FormControls.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace specterm {
namespace {

const QString kStatusKey = QStringLiteral("Status");
// Room between the panel's text and the progress bar, in pixels.
constexpr int kProgressGap = 6;

}  // namespace

StatusBarPresenter::StatusBarPresenter(FormControls& controls) : c_(controls) {}

void StatusBarPresenter::ShowStatusMessage(const QString& text) {
  c_.sbStatus->SetPanelText(kStatusKey, text);
  // Every notice gets its full five seconds.
  c_.timerStatus->start();
}

void StatusBarPresenter::SetStatusText(const QString& text) { c_.sbStatus->SetPanelText(kStatusKey, text); }

void StatusBarPresenter::SetPanelText(const QString& key, const QString& text) { c_.sbStatus->SetPanelText(key, text); }

QString StatusBarPresenter::PanelText(const QString& key) const { return c_.sbStatus->PanelText(key); }

void StatusBarPresenter::ShowLinkStatus(int image) {
  SetStatusImage(image);
  c_.tbMain->SetImage(kStatusKey, c_.imgToolbar.Icon(image));
}

void StatusBarPresenter::SetStatusImage(int image) {
  c_.sbStatus->SetPanelPicture(kStatusKey, c_.imgToolbar.Picture(image));
}

void StatusBarPresenter::SetProgress(int percent) { c_.pbStatus->setValue(percent); }

void StatusBarPresenter::ShowProgressRoom() {
  c_.sbStatus->SetPanelTextInset(kStatusKey, c_.pbStatus->isVisible() ? c_.pbStatus->width() + kProgressGap : 0);
}

void StatusBarPresenter::timerStatus_Timer() {
  c_.timerStatus->stop();
  c_.sbStatus->SetPanelText(kStatusKey, QString());
}

void StatusBarPresenter::timerCoord_Timer() {
  c_.cmdCoord->hide();
  c_.timerCoord->stop();
}

}  // namespace specterm
