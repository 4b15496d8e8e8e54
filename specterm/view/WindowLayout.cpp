// The main window's layout: the minimum size with its three messages, and
// the placement of the plot, its scroll bars, the status bar and the entry
// fields over the status bar and the cursor toolbar.
//
// Measures are twips. The window's size is its outer size as the toolkit
// reports it (menu bar included, the window manager's frame excluded, since
// that differs between desktops); the controls are placed in the client area
// below the menu bar. The plot ends where the vertical scroll bar begins, so
// that the whole view window is visible.

#include "base/Twips.h"
#include "forms/Dialogs.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "modems/Settings.h"
#include "modems/frmMain.h"
#include "view/LayoutConstants.h"

#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace specterm {
namespace {

// Too-small sizes still queued after a refusal are set back quietly, a few
// at most, so that a window system that insists cannot make a loop.
constexpr int kSilentSetBacks = 3;

int Px(double twips) { return static_cast<int>(std::lround(TwipsToPixels(twips))); }
int Tw(int pixels) { return static_cast<int>(PixelsToTwips(pixels)); }

void Place(QWidget* w, double leftTwips, double topTwips, double widthTwips, double heightTwips) {
  w->setGeometry(Px(leftTwips), Px(topTwips), std::max(0, Px(widthTwips)), std::max(0, Px(heightTwips)));
}

int LeftTw(const QWidget* w) { return Tw(w->x()); }
int TopTw(const QWidget* w) { return Tw(w->y()); }
int WidthTw(const QWidget* w) { return Tw(w->width()); }
int HeightTw(const QWidget* w) { return Tw(w->height()); }

}  // namespace

int frmMain::WindowWidthTwips() const { return Tw(width()); }
int frmMain::WindowHeightTwips() const { return Tw(height()); }

void frmMain::SetWindowSizeTwips(int widthTwips, int heightTwips) { resize(Px(widthTwips), Px(heightTwips)); }

void frmMain::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form_Resize();
}

void frmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Restoring from the minimised state lays the window out again.
  if (event->type() == QEvent::WindowStateChange && !isMinimized()) Form_Resize();
}

void frmMain::Form_Resize() {
  if (isMinimized() || !Layout.LayoutReady) return;
  // While a refusal is on the screen, the sizes the window passes through
  // are not judged again: one message per refusal.
  if (refusingSize_) return;

  const int width = WindowWidthTwips();
  const int height = WindowHeightTwips();
  // A maximised window takes the screen as it is.
  const bool sizable = !isMaximized() && !isFullScreen();
  if (sizable && (width < kMinWindowWidth || height < kMinWindowHeight)) {
    const int newWidth = std::max(width, kMinWindowWidth);
    const int newHeight = std::max(height, kMinWindowHeight);
    // Sizes the window system had queued before it took the corrected one
    // are set back without a second message.
    if (settingBack_ > 0) {
      --settingBack_;
      SetWindowSizeTwips(newWidth, newHeight);
      return;
    }
    refusingSize_ = true;
    if (width < kMinWindowWidth && height < kMinWindowHeight) {
      forms::MsgBox(QStringLiteral("You cannot resize this window to this size!"), forms::vbCritical,
                    QStringLiteral("Invalid Window Width"), this);
    } else if (width < kMinWindowWidth) {
      forms::MsgBox(QStringLiteral("You cannot resize this window to this width!"), forms::vbCritical,
                    QStringLiteral("Invalid Window Width"), this);
    } else {
      forms::MsgBox(QStringLiteral("You cannot resize this window to this height!"), forms::vbCritical,
                    QStringLiteral("Invalid Window Height"), this);
    }
    refusingSize_ = false;
    // The accepted size comes back through this handler and is laid out.
    settingBack_ = kSilentSetBacks;
    SetWindowSizeTwips(newWidth, newHeight);
    return;
  }
  settingBack_ = 0;

  Layout.SavedWindowState = isMaximized() ? kWindowMaximized : kWindowNormal;

  if (QLayout* l = layout()) l->activate();
  const int clientWidth = WidthTw(client_);
  const int clientHeight = HeightTw(client_);

  Place(tbMain, 0, 0, clientWidth, kToolbarHeight);
  Place(tbCursors, 0, kToolbarHeight, clientWidth, kToolbarHeight);

  const int statusHeight = Tw(sbStatus->sizeHint().height());
  const int vScrollWidth = Tw(vScroll->sizeHint().width());
  const int hScrollHeight = Tw(hScroll->sizeHint().height());
  const int plotWidth = clientWidth - vScrollWidth;
  const int plotHeight = clientHeight - (hScrollHeight + kPlotTop + statusHeight);
  Place(picSpectrum, 0, kPlotTop, plotWidth, plotHeight);
  Place(vScroll, plotWidth, kPlotTop, vScrollWidth, plotHeight);
  Place(hScroll, 0, kPlotTop + plotHeight, plotWidth, hScrollHeight);
  // The update button is not shown; it keeps its place centred at the foot.
  Place(cmdUpdate, clientWidth / 2.0 - WidthTw(cmdUpdate) / 2.0, clientHeight - statusHeight - HeightTw(cmdUpdate),
        WidthTw(cmdUpdate), HeightTw(cmdUpdate));

  const auto panel = [this](const char* key) { return sbStatus->PanelWidth(QString::fromLatin1(key)); };
  const int fixedWithoutTrace =
      panel("SampleRate") + panel("CenterFreq") + panel("CurPoint") + panel("Frequency") + panel("Amplitude");
  if (width - fixedWithoutTrace > kStatusPanelMinimum)
    sbStatus->SetPanelWidth(QStringLiteral("Status"), clientWidth - fixedWithoutTrace - panel("CurTrace"));

  UpdateView();

  Place(sbStatus, 0, clientHeight - statusHeight, clientWidth, statusHeight);
  PlaceStatusFields();
  PlaceCursorFields();
}

// The point, frequency and amplitude editors lie over their panels.
void frmMain::PlaceStatusFields() {
  const auto panel = [this](const char* key) { return sbStatus->PanelWidth(QString::fromLatin1(key)); };
  const int top = TopTw(sbStatus) + kStatusFieldTop;
  const int height = HeightTw(sbStatus) - 2 * kStatusFieldTop;
  const int pointPanel = panel("Status") + panel("CenterFreq") + panel("SampleRate") + panel("CurTrace");
  const int freqPanel = pointPanel + panel("CurPoint");
  const int ampPanel = freqPanel + panel("Frequency");
  const auto fieldWidth = [](int panelWidth) { return panelWidth - kStatusFieldLeft - kStatusFieldRightGap; };
  Place(txtPoint, pointPanel + kStatusFieldLeft, top, fieldWidth(panel("CurPoint")), height);
  Place(txtFreq, freqPanel + kStatusFieldLeft, top, fieldWidth(panel("Frequency")), height);
  Place(txtAmp, ampPanel + kStatusFieldLeft, top, fieldWidth(panel("Amplitude")), height);
  for (QWidget* w : {static_cast<QWidget*>(txtPoint), static_cast<QWidget*>(txtFreq), static_cast<QWidget*>(txtAmp)})
    w->raise();
  // The progress bar sits at the right end of the "Status" panel; while it
  // shows, the panel's text ends before it.
  const int progressWidth = std::min(kProgressWidth, panel("Status") / 3);
  Place(pbStatus, panel("Status") - progressWidth - kStatusFieldTop, top, progressWidth, height);
  pbStatus->raise();
  ShowProgressRoom();
}

void frmMain::ShowProgressRoom() {
  sbStatus->SetPanelTextInset(QStringLiteral("Status"), pbStatus->isVisible() ? pbStatus->width() + 6 : 0);
}

// Each cursor slot of the cursor toolbar shows two read-outs side by side;
// the pointer read-outs and the threshold box follow.
void frmMain::PlaceCursorFields() {
  if (QLayout* l = tbCursors->layout()) l->activate();
  const int rowTop = TopTw(tbCursors);
  const int fieldHeight = kToolbarHeight - 2 * kStatusFieldTop;
  const int fieldWidth = (kCursorPlaceholderWidth - kCursorFieldGap) / 2;
  int right = 0;
  for (int i = 0; i < 3; ++i) {
    const QRect slot = tbCursors->ButtonRectTwips(QStringLiteral("Cursor%1").arg(i + 1));
    const int left = LeftTw(tbCursors) + slot.x();
    const int top = rowTop + slot.y() + (slot.height() - fieldHeight) / 2;
    Place(txtCursor[static_cast<std::size_t>(i)], left, top, fieldWidth, fieldHeight);
    Place(txtCursor[static_cast<std::size_t>(i + 3)], left + fieldWidth + kCursorFieldGap, top, fieldWidth,
          fieldHeight);
    right = left + slot.width();
  }
  const int top = rowTop + kStatusFieldTop;
  int left = right + kCursorRowGap;
  Place(txtCursor[6], left, top, kReadoutWidth, fieldHeight);
  left += kReadoutWidth + kCursorFieldGap;
  Place(txtCursor[7], left, top, kReadoutWidth, fieldHeight);
  left += kReadoutWidth + kCursorRowGap;
  Place(txtThreshold, left, top, kThresholdFieldWidth, fieldHeight);
}

}  // namespace specterm
