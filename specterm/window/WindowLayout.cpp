// The main window's layout: the minimum size with its three messages, and
// the placement of the plot, its scroll bars, the status bar and the entry
// fields over the status bar and the cursor toolbar.
//
// Measures are twips. The window's size is its outer size as the toolkit
// reports it (menu bar included, the window manager's frame excluded, since
// that differs between desktops); the controls are placed in the client area
// below the menu bar. The plot ends where the vertical scroll bar begins, so
// that the whole view window is visible.

#include "window/WindowLayout.h"

#include "base/Twips.h"
#include "forms/Dialogs.h"
#include "forms/EntryBox.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/Cursors.h"
#include "interaction/EntryFields.h"
#include "view/LayoutConstants.h"
#include "view/PlotView.h"
#include "view/StatusBarPresenter.h"
#include "view/ToolbarControls.h"
#include "view/Waterfall.h"
#include "window/CaptureCycle.h"
#include "window/WindowControls.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace specterm {
namespace {

// Too-small sizes still queued after a refusal are set back quietly, a few
// at most, so that a window system that insists cannot make a loop.
constexpr int kSilentSetBacks = 3;

// The handle between the plot and the waterfall.
constexpr int kSplitHandleHeight = 90;

// Stored placements beyond this many pixels are held to it before they are
// compared with the screens.
constexpr double kPixelLimit = 1.0e6;

int Px(double twips) { return static_cast<int>(std::lround(TwipsToPixels(twips))); }
int Tw(int pixels) { return static_cast<int>(PixelsToTwips(pixels)); }

void Place(QWidget* w, double leftTwips, double topTwips, double widthTwips, double heightTwips) {
  w->setGeometry(Px(leftTwips), Px(topTwips), std::max(0, Px(widthTwips)), std::max(0, Px(heightTwips)));
}

// A change of the client area's size that the window's own resize does not
// lay out.
class ClientAreaWatch : public QObject {
 public:
  ClientAreaWatch(QMainWindow& window, WindowLayout& layout)
      : QObject(&window), window_(window), layout_(layout), windowSize_(window.size()) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) {
      // The client area follows the window's size before the window hears
      // of it; that resize is the window's to lay out.
      if (window_.size() == windowSize_) layout_.Form_Resize();
      windowSize_ = window_.size();
    }
    return false;
  }

 private:
  QMainWindow& window_;
  WindowLayout& layout_;
  QSize windowSize_;
};

int LeftTw(const QWidget* w) { return Tw(w->x()); }
int TopTw(const QWidget* w) { return Tw(w->y()); }
int WidthTw(const QWidget* w) { return Tw(w->width()); }
int HeightTw(const QWidget* w) { return Tw(w->height()); }

}  // namespace

WindowLayout::WindowLayout(QMainWindow& window, const LayoutGroups& groups, PlotView& view, StatusBarPresenter& status)
    : window_(window), c_(groups), view_(view), status_(status) {}

void WindowLayout::WatchClientArea() { c_.window.client->installEventFilter(new ClientAreaWatch(window_, *this)); }

void WindowLayout::SetWaterfall(Waterfall& waterfall, const WaterfallControls& controls) {
  waterfall_ = &waterfall;
  waterfallControls_ = &controls;
}

int WindowLayout::WindowWidthTwips() const { return Tw(window_.width()); }
int WindowLayout::WindowHeightTwips() const { return Tw(window_.height()); }

void WindowLayout::SetWindowSizeTwips(int widthTwips, int heightTwips) {
  window_.resize(Px(widthTwips), Px(heightTwips));
}

void WindowLayout::ApplyPlacement(const WindowPlacement& place) {
  // The stored numbers come from a file anyone can edit: whatever they say,
  // the window lands on a screen that exists and is no larger than it (nor
  // smaller than the minimum), rather than asking for a picture of
  // gigabytes.
  const auto pixels = [](double twips) {
    return std::isfinite(twips)
               ? static_cast<int>(std::lround(std::clamp(TwipsToPixels(twips), -kPixelLimit, kPixelLimit)))
               : 0;
  };
  QPoint topLeft(pixels(place.Left), pixels(place.Top));
  int width = std::max(pixels(place.Width), Px(kMinWindowWidth));
  int height = std::max(pixels(place.Height), Px(kMinWindowHeight));
  const QScreen* screen = QGuiApplication::screenAt(topLeft);
  // A window stored on a screen that is no longer there comes back on the
  // primary screen.
  if (screen == nullptr) {
    screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) topLeft = screen->availableGeometry().topLeft();
  }
  if (screen != nullptr) {
    const QRect area = screen->availableGeometry();
    width = std::min(width, std::max(area.width(), Px(kMinWindowWidth)));
    height = std::min(height, std::max(area.height(), Px(kMinWindowHeight)));
  }
  window_.move(topLeft);
  window_.resize(width, height);
}

WindowPlacement WindowLayout::Placement() const {
  WindowPlacement place;
  place.Left = static_cast<float>(PixelsToTwips(window_.pos().x()));
  place.Top = static_cast<float>(PixelsToTwips(window_.pos().y()));
  place.Width = static_cast<float>(WindowWidthTwips());
  place.Height = static_cast<float>(WindowHeightTwips());
  return place;
}

void WindowLayout::Form_Resize() {
  if (window_.isMinimized() || !layoutReady_) return;
  // While a refusal is on the screen, the sizes the window passes through
  // are not judged again: one message per refusal.
  if (refusingSize_) return;

  const int width = WindowWidthTwips();
  const int height = WindowHeightTwips();
  // A maximised window takes the screen as it is.
  const bool sizable = !window_.isMaximized() && !window_.isFullScreen();
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
                    QStringLiteral("Invalid Window Width"), &window_);
    } else if (width < kMinWindowWidth) {
      forms::MsgBox(QStringLiteral("You cannot resize this window to this width!"), forms::vbCritical,
                    QStringLiteral("Invalid Window Width"), &window_);
    } else {
      forms::MsgBox(QStringLiteral("You cannot resize this window to this height!"), forms::vbCritical,
                    QStringLiteral("Invalid Window Height"), &window_);
    }
    refusingSize_ = false;
    // The accepted size comes back through this handler and is laid out.
    settingBack_ = kSilentSetBacks;
    SetWindowSizeTwips(newWidth, newHeight);
    return;
  }
  settingBack_ = 0;

  savedWindowState_ = window_.isMaximized() ? kWindowMaximized : kWindowNormal;

  if (QLayout* l = window_.layout()) l->activate();
  const int clientWidth = WidthTw(c_.window.client);
  const int clientHeight = HeightTw(c_.window.client);

  Place(c_.toolbar.tbMain, 0, 0, clientWidth, kToolbarHeight);
  Place(c_.cursors.tbCursors, 0, kToolbarHeight, clientWidth, kToolbarHeight);

  const int statusHeight = Tw(c_.status.sbStatus->sizeHint().height());
  const int vScrollWidth = Tw(c_.plot.vScroll->sizeHint().width());
  const int hScrollHeight = Tw(c_.plot.hScroll->sizeHint().height());
  const int plotWidth = clientWidth - vScrollWidth;
  const int plotHeight = clientHeight - (hScrollHeight + kPlotTop + statusHeight);
  PlacePlotArea(plotWidth, plotHeight, vScrollWidth, hScrollHeight);
  // The update button is not shown; it keeps its place centred at the foot.
  Place(c_.cycle.cmdUpdate, clientWidth / 2.0 - WidthTw(c_.cycle.cmdUpdate) / 2.0,
        clientHeight - statusHeight - HeightTw(c_.cycle.cmdUpdate), WidthTw(c_.cycle.cmdUpdate),
        HeightTw(c_.cycle.cmdUpdate));

  const auto panel = [this](const char* key) { return c_.status.sbStatus->PanelWidth(QString::fromLatin1(key)); };
  const int fixedWithoutTrace =
      panel("SampleRate") + panel("CenterFreq") + panel("CurPoint") + panel("Frequency") + panel("Amplitude");
  // A dock beside the client area leaves it narrower than the window.
  if (clientWidth - fixedWithoutTrace > kStatusPanelMinimum)
    c_.status.sbStatus->SetPanelWidth(QStringLiteral("Status"), clientWidth - fixedWithoutTrace - panel("CurTrace"));

  view_.UpdateView();

  Place(c_.status.sbStatus, 0, clientHeight - statusHeight, clientWidth, statusHeight);
  PlaceStatusFields();
  PlaceCursorFields();
}

// The plot with its scroll bars; while the waterfall shows, it takes its
// share of the plot's height below the horizontal bar and the handle, on the
// plot's columns.
void WindowLayout::PlacePlotArea(int width, int height, int vScrollWidth, int hScrollHeight) {
  int plotHeight = height;
  if (waterfall_ != nullptr && waterfall_->Shown()) {
    const int area = Px(height - kSplitHandleHeight);
    waterfall_->SetSplitArea(area);
    const int waterfallHeight = Tw(waterfall_->HeightIn(area));
    plotHeight = height - kSplitHandleHeight - waterfallHeight;
    const int handleTop = kPlotTop + plotHeight + hScrollHeight;
    Place(waterfallControls_->splitWaterfall, 0, handleTop, width + vScrollWidth, kSplitHandleHeight);
    Place(waterfallControls_->picWaterfall, 0, handleTop + kSplitHandleHeight, width, waterfallHeight);
  }
  Place(c_.plot.picSpectrum, 0, kPlotTop, width, plotHeight);
  Place(c_.plot.vScroll, width, kPlotTop, vScrollWidth, plotHeight);
  Place(c_.plot.hScroll, 0, kPlotTop + plotHeight, width, hScrollHeight);
}

// The point, frequency and amplitude editors lie over their panels.
void WindowLayout::PlaceStatusFields() {
  const auto panel = [this](const char* key) { return c_.status.sbStatus->PanelWidth(QString::fromLatin1(key)); };
  const int top = TopTw(c_.status.sbStatus) + kStatusFieldTop;
  const int height = HeightTw(c_.status.sbStatus) - 2 * kStatusFieldTop;
  const int pointPanel = panel("Status") + panel("CenterFreq") + panel("SampleRate") + panel("CurTrace");
  const int freqPanel = pointPanel + panel("CurPoint");
  const int ampPanel = freqPanel + panel("Frequency");
  const auto fieldWidth = [](int panelWidth) { return panelWidth - kStatusFieldLeft - kStatusFieldRightGap; };
  Place(c_.entries.txtPoint, pointPanel + kStatusFieldLeft, top, fieldWidth(panel("CurPoint")), height);
  Place(c_.entries.txtFreq, freqPanel + kStatusFieldLeft, top, fieldWidth(panel("Frequency")), height);
  Place(c_.entries.txtAmp, ampPanel + kStatusFieldLeft, top, fieldWidth(panel("Amplitude")), height);
  for (QWidget* w : {static_cast<QWidget*>(c_.entries.txtPoint), static_cast<QWidget*>(c_.entries.txtFreq),
                     static_cast<QWidget*>(c_.entries.txtAmp)})
    w->raise();
  // The progress bar sits at the right end of the "Status" panel; while it
  // shows, the panel's text ends before it.
  const int progressWidth = std::min(kProgressWidth, panel("Status") / 3);
  Place(c_.status.pbStatus, panel("Status") - progressWidth - kStatusFieldTop, top, progressWidth, height);
  c_.status.pbStatus->raise();
  status_.ShowProgressRoom();
}

// Each cursor slot of the cursor toolbar shows two read-outs side by side;
// the pointer read-outs and the threshold box follow.
void WindowLayout::PlaceCursorFields() {
  if (QLayout* l = c_.cursors.tbCursors->layout()) l->activate();
  const int rowTop = TopTw(c_.cursors.tbCursors);
  const int fieldHeight = kToolbarHeight - 2 * kStatusFieldTop;
  const int fieldWidth = (kCursorPlaceholderWidth - kCursorFieldGap) / 2;
  int right = 0;
  for (int i = 0; i < 3; ++i) {
    const QRect slot = c_.cursors.tbCursors->ButtonRectTwips(QStringLiteral("Cursor%1").arg(i + 1));
    const int left = LeftTw(c_.cursors.tbCursors) + slot.x();
    const int top = rowTop + slot.y() + (slot.height() - fieldHeight) / 2;
    Place(c_.cursors.txtCursor[static_cast<std::size_t>(i)], left, top, fieldWidth, fieldHeight);
    Place(c_.cursors.txtCursor[static_cast<std::size_t>(i + 3)], left + fieldWidth + kCursorFieldGap, top, fieldWidth,
          fieldHeight);
    right = left + slot.width();
  }
  const int top = rowTop + kStatusFieldTop;
  int left = right + kCursorRowGap;
  Place(c_.cursors.txtCursor[6], left, top, kReadoutWidth, fieldHeight);
  left += kReadoutWidth + kCursorFieldGap;
  Place(c_.cursors.txtCursor[7], left, top, kReadoutWidth, fieldHeight);
  left += kReadoutWidth + kCursorRowGap;
  Place(c_.entries.txtThreshold, left, top, kThresholdFieldWidth, fieldHeight);
}

}  // namespace specterm
