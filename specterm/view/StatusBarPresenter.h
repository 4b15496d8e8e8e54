#pragma once

// The status bar's conventions: transient notices in the "Status" panel that
// clear after five seconds, the read-out panels and the editors that cover
// them, the link status image (on the "Status" panel and the toolbar button
// of the same key), and the progress bar at the panel's right end.

#include <QString>

class QProgressBar;
class QTimer;

namespace forms {
class KeyedStatusBar;
}  // namespace forms

namespace specterm {

struct ToolbarControls;

// The controls the status bar presenter drives.
struct StatusControls {
  forms::KeyedStatusBar* sbStatus = nullptr;
  QProgressBar* pbStatus = nullptr;
  QTimer* timerStatus = nullptr;
};

class StatusBarPresenter {
 public:
  StatusBarPresenter(StatusControls& controls, ToolbarControls& toolbar);

  // A transient notice, cleared by timerStatus (or by the next redraw).
  void ShowStatusMessage(const QString& text);
  // The "Status" text without starting the timer.
  void SetStatusText(const QString& text);
  // What the "Status" panel says when it has nothing else to say: an empty
  // text, a redraw or the end of a notice show it. Empty by default.
  void SetRestingText(const QString& text);
  void SetPanelText(const QString& key, const QString& text);
  QString PanelText(const QString& key) const;
  // The "SampleRate" panel's tool tip names the resolution bandwidth of the
  // data set (sample rate in units of 0.1 MHz).
  void ShowResolutionBandwidth(double sampleRate);
  // An editor lies over the panel: its own text waits until it is gone.
  void SetPanelCovered(const QString& key, bool covered);

  // The link's status image on the "Status" panel and the "Status" button.
  void ShowLinkStatus(int image);
  // The image on the panel only.
  void SetStatusImage(int image);

  // Progress of a long operation; 0 hides the bar.
  void SetProgress(int percent);
  // The bar shows while there is progress, and the panel's text ends
  // before it.
  void ProgressChanged(int percent);
  // While the progress bar shows, the panel's text ends before it.
  void ShowProgressRoom();
  // Keeps the right end of the "Status" panel clear for a control laid
  // there (pixels; 0 for none).
  void ReserveStatusRoom(int pixels);
  // A quick operation writes its progress without painting the bar at each
  // step; the bar paints when the event loop next runs.
  void SetProgressPainted(bool painted);

  void timerStatus_Timer();

 private:
  StatusControls& c_;
  ToolbarControls& toolbar_;
  int reservedRoom_ = 0;
  QString resting_;
};

}  // namespace specterm
