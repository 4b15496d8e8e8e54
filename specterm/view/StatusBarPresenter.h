#pragma once

// The status bar's conventions: transient notices in the "Status" panel that
// clear after five seconds, the read-out panels, the link status image (on
// the "Status" panel and the toolbar button of the same key), the progress
// bar at the panel's right end and the coordinate label's timer.

#include <QString>

namespace specterm {

struct FormControls;

class StatusBarPresenter {
 public:
  explicit StatusBarPresenter(FormControls& controls);

  // A transient notice, cleared by timerStatus (or by the next redraw).
  void ShowStatusMessage(const QString& text);
  // The "Status" text without starting the timer.
  void SetStatusText(const QString& text);
  void SetPanelText(const QString& key, const QString& text);
  QString PanelText(const QString& key) const;

  // The link's status image on the "Status" panel and the "Status" button.
  void ShowLinkStatus(int image);
  // The image on the panel only.
  void SetStatusImage(int image);

  // Progress of a long operation; 0 hides the bar.
  void SetProgress(int percent);
  // While the progress bar shows, the panel's text ends before it.
  void ShowProgressRoom();

  void timerStatus_Timer();
  void timerCoord_Timer();

 private:
  FormControls& c_;
};

}  // namespace specterm
