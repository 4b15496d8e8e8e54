// The plot's mouse modes: Select, Zoom Window, Zoom In, Zoom Out and Pan,
// entered and left from the toolbar and the View menu, with their pointers;
// what a click does in each mode; the pointer's location as the selected
// location; the View menu as the plot's pop-up menu. Also the toolbar's view
// commands: fit, previous and the two presets.

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/Interaction.h"
#include "processing/Processing.h"
#include "vbformat/VbFormat.h"
#include "view/Icons.h"
#include "view/PlotView.h"
#include "window/FormControls.h"

#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace specterm {
namespace {

// The four zoom modes with their toolbar buttons, menu items and pointers.
struct ZoomMode {
  const char* key;
  int mode;
  QAction* FormControls::*item;
  int pointer;
};

const ZoomMode kZoomModes[] = {
    {"ZoomWin", kModeZoomWindow, &FormControls::mnuViewZoomWin, kPointerZoomWindow},
    {"ZoomIn", kModeZoomIn, &FormControls::mnuViewZoomIn, kPointerZoomIn},
    {"ZoomOut", kModeZoomOut, &FormControls::mnuViewZoomOut, kPointerZoomOut},
    {"Pan", kModePan, &FormControls::mnuViewPan, kPointerPan},
};

// The pointer amplitude read-out.
constexpr const char* kPointerAmplitudeFormat = "###0.000dB";
// The preset index of a button menu key such as "dBB3" or "FB7"; -1 when
// the key is not one.
int PresetIndex(const QString& key, QLatin1String prefix) {
  if (!key.startsWith(prefix) || key.size() != prefix.size() + 1) return -1;
  const QChar digit = key.back();
  return digit.isDigit() ? digit.digitValue() : -1;
}

class FormMouse : public QObject {
 public:
  FormMouse(QObject* parent, QObject* clientArea, Interaction& input)
      : QObject(parent), clientArea_(clientArea), input_(input) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress && watched == clientArea_) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int button = mouse->button() == Qt::RightButton    ? forms::vbRightButton
                         : mouse->button() == Qt::LeftButton   ? forms::vbLeftButton
                         : mouse->button() == Qt::MiddleButton ? forms::vbMiddleButton
                                                               : 0;
      if (button != 0)
        input_.Form_MouseDown(button, 0, static_cast<float>(mouse->position().x()),
                              static_cast<float>(mouse->position().y()));
    }
    return false;
  }

 private:
  QObject* clientArea_;
  Interaction& input_;
};

}  // namespace

QObject* Interaction::NewFormMouse(QObject* window, QObject* clientArea) {
  return new FormMouse(window, clientArea, *this);
}

void Interaction::ShowPointerImage(int image) { view_.ShowPointer(c_.imgCursors.Cursor(image)); }

void Interaction::ReleaseModeControls() {
  for (const ZoomMode& m : kZoomModes) {
    c_.tbMain->SetPressed(QString::fromLatin1(m.key), false);
    (c_.*m.item)->setChecked(false);
  }
}

// The pointer of the zoom mode whose button is pressed, else the cross.
void Interaction::ShowModePointer() {
  for (const ZoomMode& m : kZoomModes)
    if (c_.tbMain->Pressed(QString::fromLatin1(m.key))) {
      ShowPointerImage(m.pointer);
      return;
    }
  view_.ShowCrosshair();
}

// The reference location of the presets: the last Select-mode click, or the
// capture's centre at 0 dB while there is none yet.
void Interaction::TakeReferenceLocation() {
  if (mouse_.ClickX == kNoLocation && mouse_.ClickY == kNoLocation) {
    mouse_.ClickX = static_cast<float>(spectrum_.Block().CenterFreq * spectrum_.Block().SpanScale);
    mouse_.ClickY = 0.0f;
  }
  selection_.SelectedX = mouse_.ClickX;
  selection_.SelectedY = mouse_.ClickY;
}

void Interaction::ShowSelectPointer() {
  if (mouse_.PositioningThreshold) {
    view_.ShowPointer(c_.imgCursors.Cursor(QString::fromLatin1(kPointerPeakThreshold)));
  } else if (mouse_.PositioningCursor == 1 || mouse_.PositioningCursor == 2) {
    ShowPointerImage(mouse_.PositioningCursor + kPointerCursor1 - 1);
  } else {
    view_.ShowCrosshair();
  }
}

void Interaction::LeaveZoomMode() {
  mouse_.MouseMode = kModeSelect;
  ReleaseModeControls();
  c_.mnuViewEnd->setEnabled(false);
  ShowSelectPointer();
}

void Interaction::ShowViewPopup(bool fromPlot) {
  c_.mnuViewSep1->setVisible(fromPlot);
  c_.mnuViewDone->setVisible(fromPlot);
  // Not modal: the pop-up's end is seen in ViewPopupClosing.
  c_.mnuView->popup(QCursor::pos());
}

void Interaction::ViewPopupClosing() {
  if (!c_.mnuViewDone->isVisible()) return;
  c_.mnuViewSep1->setVisible(false);
  c_.mnuViewDone->setVisible(false);
  // The pop-up took the button's release: the right click ends here, before
  // a command chosen from the menu runs.
  if (mouse_.ClickButton == forms::vbRightButton) picSpectrum_Click();
}

bool Interaction::ViewButtonClick(const QString& key) {
  if (key == QLatin1String("Select")) {
    mouse_.PositioningThreshold = false;
    mouse_.PositioningCursor = 0;
    for (QAction* item : c_.mnuViewCursor) item->setChecked(false);
    LeaveZoomMode();
    return true;
  }
  for (const ZoomMode& m : kZoomModes)
    if (key == QLatin1String(m.key)) {
      if (mouse_.MouseMode == m.mode) {
        LeaveZoomMode();
      } else {
        mouse_.MouseMode = m.mode;
        for (const ZoomMode& other : kZoomModes) {
          const bool on = &other == &m;
          c_.tbMain->SetPressed(QString::fromLatin1(other.key), on);
          (c_.*other.item)->setChecked(on);
        }
        c_.mnuViewEnd->setEnabled(true);
        ShowPointerImage(m.pointer);
      }
      return true;
    }
  if (key == QLatin1String("ZoomFitView")) {
    LeaveZoomMode();
    view_.FitView();
    EndClick();
    return true;
  }
  if (key == QLatin1String("Previous")) {
    view_.PreviousView();
    EndClick();
    return true;
  }
  if (key == QLatin1String("dBperDiv") || key == QLatin1String("FSpan")) {
    TakeReferenceLocation();
    if (key == QLatin1String("dBperDiv"))
      mnuViewDBB_Click(view_.DBDivIndex());
    else
      mnuViewFB_Click(view_.SpanIndex());
    view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
    EndClick();
    return true;
  }
  return false;
}

void Interaction::mnuViewDBB_Click(int index) {
  view_.ZoomDbPreset(index, selection_.SelectedY);
  EndClick();
}

void Interaction::mnuViewFB_Click(int index) {
  view_.ZoomSpanPreset(index, selection_.SelectedX);
  EndClick();
}

bool Interaction::ViewButtonMenuClick(const QString&, const QString& menuKey) {
  const int db = PresetIndex(menuKey, QLatin1String("dBB"));
  const int span = PresetIndex(menuKey, QLatin1String("FB"));
  if (db < 0 && span < 0) return false;
  TakeReferenceLocation();
  if (db >= 0)
    mnuViewDBB_Click(db);
  else
    mnuViewFB_Click(span);
  view_.MoveCursor(selection_.SelectedX, selection_.SelectedY);
  return true;
}

void Interaction::mnuViewEnd_Click() { LeaveZoomMode(); }

void Interaction::EndClick() {
  mouse_.ClickButton = 0;
  if (clickEnded_) clickEnded_();
}

void Interaction::picSpectrum_MouseDown(int button, int, float x, float y) {
  mouse_.ClickButton = static_cast<std::int16_t>(button);
  mouse_.PointerMoved = false;
  if (button == forms::vbLeftButton && mouse_.MouseMode == kModeSelect) SelectClick(x, y);
  if ((button == forms::vbLeftButton && mouse_.MouseMode == kModeZoomWindow) || button == forms::vbMiddleButton) {
    mouse_.DragAnchorX = x;
    mouse_.DragAnchorY = y;
    mouse_.DragCornerX = x;
    mouse_.DragCornerY = y;
  }
  if (button == forms::vbRightButton) ShowViewPopup(true);
}

void Interaction::picSpectrum_MouseMove(int button, int, float x, float y) {
  // Zoom and pan act where the pointer was last, or on the point selected
  // since.
  selection_.SelectedX = x;
  selection_.SelectedY = y;
  const SampleBlock& block = spectrum_.Block();
  c_.txtCursor[6]->setText(QString::fromStdString(
      vb::Format(static_cast<double>(x) / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat)));
  c_.txtCursor[7]->setText(QString::fromStdString(vb::Format(-static_cast<double>(y), kPointerAmplitudeFormat)));
  mouse_.PointerMoved = true;
  // A drag shows its rubber band while the button that began it is held.
  if (mouse_.ClickButton != 0 && (button & mouse_.ClickButton) != 0 && DragsWith(mouse_.ClickButton)) DragMove(x, y);
}

void Interaction::picSpectrum_MouseUp(int button, int, float, float) {
  if (button == mouse_.ClickButton && DragsWith(button)) DragEnd(button);
}

void Interaction::picSpectrum_Click() {
  switch (mouse_.ClickButton) {
    case forms::vbLeftButton:
      if (mouse_.MouseMode == kModeZoomIn)
        view_.ZoomInView(selection_.SelectedX, selection_.SelectedY);
      else if (mouse_.MouseMode == kModeZoomOut)
        view_.ZoomOutView(selection_.SelectedX, selection_.SelectedY);
      else if (mouse_.MouseMode == kModePan)
        view_.CenterView(selection_.SelectedX, selection_.SelectedY);
      break;
    case forms::vbRightButton:
      if (mouse_.MouseMode != kModeSelect) LeaveZoomMode();
      break;
    case forms::vbMiddleButton:
      if (mouse_.MouseMode != kModeDragFinished) view_.CenterView(selection_.SelectedX, selection_.SelectedY);
      break;
    default:
      break;
  }
  if (mouse_.MouseMode == kModeDragFinished) mouse_.MouseMode = mouse_.SavedMouseMode;
  EndClick();
}

void Interaction::Form_MouseDown(int button, int, float, float) {
  if (button == forms::vbRightButton) ShowViewPopup(false);
}

}  // namespace specterm
