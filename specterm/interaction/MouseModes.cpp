// The plot's mouse modes: Select, Zoom Window, Zoom In, Zoom Out and Pan,
// entered and left from the toolbar and the View menu, with their pointers;
// what a click does in each mode; the pointer's location as the selected
// location; the View menu as the plot's pop-up menu. Also the toolbar's view
// commands: fit, previous and the two presets.

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/ViewInput.h"
#include "modems/frmMain.h"
#include "vbformat/VbFormat.h"
#include "view/Icons.h"

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
  QAction* frmMain::*item;
  int pointer;
};

const ZoomMode kZoomModes[] = {
    {"ZoomWin", kModeZoomWindow, &frmMain::mnuViewZoomWin, kPointerZoomWindow},
    {"ZoomIn", kModeZoomIn, &frmMain::mnuViewZoomIn, kPointerZoomIn},
    {"ZoomOut", kModeZoomOut, &frmMain::mnuViewZoomOut, kPointerZoomOut},
    {"Pan", kModePan, &frmMain::mnuViewPan, kPointerPan},
};

// The pointer amplitude read-out.
constexpr const char* kPointerAmplitudeFormat = "###0.000dB";
// Where the rubber band has no seed square.
constexpr float kNoSeed = 32000.0f;

void ShowPointerImage(frmMain& f, int image) {
  f.picSpectrum->SetMouseIcon(f.imgCursors.Cursor(image));
  f.picSpectrum->SetMousePointer(forms::vbCustom);
}

void ReleaseModeControls(frmMain& f) {
  for (const ZoomMode& m : kZoomModes) {
    f.tbMain->SetPressed(QString::fromLatin1(m.key), false);
    (f.*m.item)->setChecked(false);
  }
}

void EnterZoomMode(frmMain& f, const ZoomMode& mode) {
  f.Mouse.MouseMode = mode.mode;
  for (const ZoomMode& m : kZoomModes) {
    const bool on = &m == &mode;
    f.tbMain->SetPressed(QString::fromLatin1(m.key), on);
    (f.*m.item)->setChecked(on);
  }
  f.mnuViewEnd->setEnabled(true);
  ShowPointerImage(f, mode.pointer);
}

// The pointer of the zoom mode whose button is pressed, else the cross.
void ShowModePointer(frmMain& f) {
  for (const ZoomMode& m : kZoomModes)
    if (f.tbMain->Pressed(QString::fromLatin1(m.key))) {
      ShowPointerImage(f, m.pointer);
      return;
    }
  f.picSpectrum->SetMousePointer(forms::vbCrosshair);
}

// The reference location of the presets: the last Select-mode click, or the
// capture's centre at 0 dB while there is none yet.
void TakeReferenceLocation(frmMain& f) {
  if (f.Mouse.ClickX == kNoLocation && f.Mouse.ClickY == kNoLocation) {
    f.Mouse.ClickX = static_cast<float>(f.Spectrum->Block.CenterFreq * f.Spectrum->Block.SpanScale);
    f.Mouse.ClickY = 0.0f;
  }
  f.Selection.SelectedX = f.Mouse.ClickX;
  f.Selection.SelectedY = f.Mouse.ClickY;
}

// The preset index of a button menu key such as "dBB3" or "FB7"; -1 when
// the key is not one.
int PresetIndex(const QString& key, QLatin1String prefix) {
  if (!key.startsWith(prefix) || key.size() != prefix.size() + 1) return -1;
  const QChar digit = key.back();
  return digit.isDigit() ? digit.digitValue() : -1;
}

class FormMouse : public QObject {
 public:
  explicit FormMouse(frmMain& form) : QObject(&form), form_(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress && watched == form_.centralWidget()) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int button = mouse->button() == Qt::RightButton    ? forms::vbRightButton
                         : mouse->button() == Qt::LeftButton   ? forms::vbLeftButton
                         : mouse->button() == Qt::MiddleButton ? forms::vbMiddleButton
                                                               : 0;
      if (button != 0)
        form_.Form_MouseDown(button, 0, static_cast<float>(mouse->position().x()),
                             static_cast<float>(mouse->position().y()));
    }
    return false;
  }

 private:
  frmMain& form_;
};

}  // namespace

QObject* NewFormMouse(frmMain& form) { return new FormMouse(form); }

void ShowSelectPointer(frmMain& f) {
  if (f.Mouse.PositioningThreshold) {
    f.picSpectrum->SetMouseIcon(f.imgCursors.Cursor(QString::fromLatin1(kPointerPeakThreshold)));
    f.picSpectrum->SetMousePointer(forms::vbCustom);
  } else if (f.Mouse.PositioningCursor == 1 || f.Mouse.PositioningCursor == 2) {
    ShowPointerImage(f, f.Mouse.PositioningCursor + kPointerCursor1 - 1);
  } else {
    f.picSpectrum->SetMousePointer(forms::vbCrosshair);
  }
}

void LeaveZoomMode(frmMain& f) {
  f.Mouse.MouseMode = kModeSelect;
  ReleaseModeControls(f);
  f.mnuViewEnd->setEnabled(false);
  ShowSelectPointer(f);
}

void ShowViewPopup(frmMain& f, bool fromPlot) {
  f.mnuViewSep1->setVisible(fromPlot);
  f.mnuViewDone->setVisible(fromPlot);
  // Not modal: the pop-up's end is seen in ViewPopupClosing.
  f.mnuView->popup(QCursor::pos());
}

void ViewPopupClosing(frmMain& f) {
  if (!f.mnuViewDone->isVisible()) return;
  f.mnuViewSep1->setVisible(false);
  f.mnuViewDone->setVisible(false);
  // The pop-up took the button's release: the right click ends here, before
  // a command chosen from the menu runs.
  if (f.Mouse.ClickButton == forms::vbRightButton) f.picSpectrum_Click();
}

bool frmMain::ViewButtonClick(const QString& key) {
  if (key == QLatin1String("Select")) {
    Mouse.PositioningThreshold = false;
    Mouse.PositioningCursor = 0;
    for (QAction* item : mnuViewCursor) item->setChecked(false);
    LeaveZoomMode(*this);
    return true;
  }
  for (const ZoomMode& m : kZoomModes)
    if (key == QLatin1String(m.key)) {
      if (Mouse.MouseMode == m.mode)
        LeaveZoomMode(*this);
      else
        EnterZoomMode(*this, m);
      return true;
    }
  if (key == QLatin1String("ZoomFitView")) {
    LeaveZoomMode(*this);
    FitView();
    return true;
  }
  if (key == QLatin1String("Previous")) {
    PreviousView();
    return true;
  }
  if (key == QLatin1String("dBperDiv") || key == QLatin1String("FSpan")) {
    TakeReferenceLocation(*this);
    if (key == QLatin1String("dBperDiv"))
      mnuViewDBB_Click(View.DBDivIndex);
    else
      mnuViewFB_Click(View.SpanIndex);
    MoveCursor(Selection.SelectedX, Selection.SelectedY);
    Mouse.ClickButton = 0;
    return true;
  }
  return false;
}

bool frmMain::ViewButtonMenuClick(const QString&, const QString& menuKey) {
  const int db = PresetIndex(menuKey, QLatin1String("dBB"));
  const int span = PresetIndex(menuKey, QLatin1String("FB"));
  if (db < 0 && span < 0) return false;
  TakeReferenceLocation(*this);
  if (db >= 0)
    mnuViewDBB_Click(db);
  else
    mnuViewFB_Click(span);
  MoveCursor(Selection.SelectedX, Selection.SelectedY);
  return true;
}

void frmMain::mnuViewEnd_Click() { LeaveZoomMode(*this); }

void frmMain::picSpectrum_MouseDown(int button, int, float x, float y) {
  Mouse.ClickButton = static_cast<std::int16_t>(button);
  Mouse.PointerMoved = false;
  if (button == forms::vbLeftButton && Mouse.MouseMode == kModeSelect) {
    timerCoord->stop();
    // The click becomes the reference location of the presets.
    Mouse.ClickX = x;
    Mouse.ClickY = y;
  }
  if ((button == forms::vbLeftButton && Mouse.MouseMode == kModeZoomWindow) || button == forms::vbMiddleButton) {
    Mouse.DragAnchorX = x;
    Mouse.DragAnchorY = y;
    Mouse.DragCornerX = x;
    Mouse.DragCornerY = y;
  }
  if (button == forms::vbRightButton) ShowViewPopup(*this, true);
}

void frmMain::picSpectrum_MouseMove(int, int, float x, float y) {
  // Zoom and pan act where the pointer was last, or on the point selected
  // since.
  Selection.SelectedX = x;
  Selection.SelectedY = y;
  const SampleBlock& block = Spectrum->Block;
  txtCursor[6]->setText(QString::fromStdString(
      vb::Format(static_cast<double>(x) / 10.0 / static_cast<double>(block.SpanScale), block.FreqFormat)));
  txtCursor[7]->setText(QString::fromStdString(vb::Format(-static_cast<double>(y), kPointerAmplitudeFormat)));
  Mouse.PointerMoved = true;
}

void frmMain::picSpectrum_MouseUp(int button, int, float, float) {
  const bool dragging =
      (button == forms::vbLeftButton && Mouse.MouseMode == kModeZoomWindow) || button == forms::vbMiddleButton;
  if (!dragging) return;
  Mouse.SeedLeft = kNoSeed;
  Mouse.SeedRight = kNoSeed;
  Mouse.SeedTop = kNoSeed;
  Mouse.SeedBottom = kNoSeed;
  ShowModePointer(*this);
  if (button == forms::vbMiddleButton && Mouse.MouseMode == kModeSelect) {
    Mouse.SavedMouseMode = kModeSelect;
    // After a zoom to a box the click that follows does nothing.
    if (Mouse.DragCornerX != Mouse.DragAnchorX && Mouse.DragCornerY != Mouse.DragAnchorY)
      Mouse.MouseMode = kModeDragFinished;
    picSpectrum->SetMousePointer(forms::vbCrosshair);
  }
  // A pending positioning gets its pointer back.
  if ((Mouse.MouseMode == kModeSelect || Mouse.MouseMode == kModeDragFinished) &&
      (Mouse.PositioningThreshold || Mouse.PositioningCursor != 0))
    ShowSelectPointer(*this);
}

void frmMain::picSpectrum_Click() {
  switch (Mouse.ClickButton) {
    case forms::vbLeftButton:
      if (Mouse.MouseMode == kModeZoomIn)
        ZoomInView();
      else if (Mouse.MouseMode == kModeZoomOut)
        ZoomOutView();
      else if (Mouse.MouseMode == kModePan)
        CenterView();
      break;
    case forms::vbRightButton:
      if (Mouse.MouseMode != kModeSelect) LeaveZoomMode(*this);
      break;
    case forms::vbMiddleButton:
      if (Mouse.MouseMode != kModeDragFinished) CenterView();
      break;
    default:
      break;
  }
  if (Mouse.MouseMode == kModeDragFinished) Mouse.MouseMode = Mouse.SavedMouseMode;
  Mouse.ClickButton = 0;
}

void frmMain::Form_MouseDown(int button, int, float, float) {
  if (button == forms::vbRightButton) ShowViewPopup(*this, false);
}

}  // namespace specterm
