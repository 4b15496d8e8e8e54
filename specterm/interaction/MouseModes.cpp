// The plot's mouse modes: Select, Zoom Window, Zoom In, Zoom Out and Pan,
// entered and left from the toolbar and the View menu, with their pointers;
// what a click does in each mode; the positioning armed for the next left
// click; the pointer's location as the selected location; the View menu as
// the plot's pop-up menu. Also the toolbar's view commands: fit, previous
// and the two presets.

#include "interaction/MouseModes.h"

#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "interaction/Cursors.h"
#include "interaction/InputBindings.h"
#include "interaction/Navigation.h"
#include "view/Icons.h"
#include "view/PlotView.h"
#include "view/ToolbarControls.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include <utility>

namespace specterm {
namespace {

// The four zoom modes with their toolbar buttons, menu items and pointers.
struct ZoomMode {
  const char* key;
  MouseMode mode;
  QAction* ModeControls::*item;
  int pointer;
};

const ZoomMode kZoomModes[] = {
    {"ZoomWin", MouseMode::ZoomWindow, &ModeControls::mnuViewZoomWin, kPointerZoomWindow},
    {"ZoomIn", MouseMode::ZoomIn, &ModeControls::mnuViewZoomIn, kPointerZoomIn},
    {"ZoomOut", MouseMode::ZoomOut, &ModeControls::mnuViewZoomOut, kPointerZoomOut},
    {"Pan", MouseMode::Pan, &ModeControls::mnuViewPan, kPointerPan},
};

// The preset index of a button menu key such as "dBB3" or "FB7"; -1 when
// the key is not one.
int PresetIndex(const QString& key, QLatin1String prefix) {
  if (!key.startsWith(prefix) || key.size() != prefix.size() + 1) return -1;
  const QChar digit = key.back();
  return digit.isDigit() ? digit.digitValue() : -1;
}

}  // namespace

int PointerImageFor(MouseMode mode) {
  switch (mode) {
    case MouseMode::ZoomWindow:
      return kPointerZoomWindow;
    case MouseMode::ZoomIn:
      return kPointerZoomIn;
    case MouseMode::ZoomOut:
      return kPointerZoomOut;
    default:
      return kPointerPan;
  }
}

MouseModes::MouseModes(ModeControls& controls, ToolbarControls& toolbar, Navigation& navigation, Cursors& cursors,
                       const Processing& spectrum, PlotView& view, StatusBarPresenter& status)
    : c_(controls),
      toolbar_(toolbar),
      navigation_(navigation),
      cursors_(cursors),
      spectrum_(spectrum),
      view_(view),
      status_(status) {}

// --- pointers and modes -------------------------------------------------------

void MouseModes::ShowPointerImage(int image) { view_.ShowPointer(c_.imgCursors.Cursor(image)); }

void MouseModes::RenewPointer() {
  if (view_.CustomPointer()) ShowPointerImage(PointerImageFor(mouse_.Mode));
}

void MouseModes::ReleaseModeControls() {
  for (const ZoomMode& m : kZoomModes) {
    toolbar_.tbMain->SetPressed(QString::fromLatin1(m.key), false);
    (c_.*m.item)->setChecked(false);
  }
}

// The pointer of the zoom mode whose button is pressed, else the cross.
void MouseModes::ShowModePointer() {
  for (const ZoomMode& m : kZoomModes)
    if (toolbar_.tbMain->Pressed(QString::fromLatin1(m.key))) {
      ShowPointerImage(m.pointer);
      return;
    }
  view_.ShowCrosshair();
}

void MouseModes::ShowSelectPointer() {
  if (mouse_.PositioningThreshold) {
    view_.ShowPointer(c_.imgCursors.Cursor(QString::fromLatin1(kPointerPeakThreshold)));
  } else if (mouse_.PositioningCursor == 1 || mouse_.PositioningCursor == 2) {
    ShowPointerImage(mouse_.PositioningCursor + kPointerCursor1 - 1);
  } else {
    view_.ShowCrosshair();
  }
}

void MouseModes::LeaveZoomMode() {
  mouse_.Mode = MouseMode::Select;
  ReleaseModeControls();
  c_.mnuViewEnd->setEnabled(false);
  ShowSelectPointer();
}

void MouseModes::ArmThreshold() {
  view_.ShowPointer(c_.imgCursors.Cursor(QString::fromLatin1(kPointerPeakThreshold)));
  mouse_.PositioningThreshold = true;
  // A cursor armed before gives way.
  mouse_.PositioningCursor = 0;
  cursors_.Disarm();
}

void MouseModes::ArmCursor(int cursor) {
  if (cursor != 1 && cursor != 2) return;
  mouse_.PositioningCursor = cursor;
  mouse_.PositioningThreshold = false;
  cursors_.Arm(cursor - 1);
  ShowPointerImage(cursor - 1 + kPointerCursor1);
}

void MouseModes::Escape() {
  if (mouse_.Mode != MouseMode::Select) {
    LeaveZoomMode();
    return;
  }
  if (mouse_.PositioningThreshold) {
    mouse_.PositioningThreshold = false;
    ShowSelectPointer();
  } else if (mouse_.PositioningCursor == 1 || mouse_.PositioningCursor == 2) {
    cursors_.Disarm();
    mouse_.PositioningCursor = 0;
    ShowSelectPointer();
  }
}

// --- the View menu as the plot's pop-up --------------------------------------

void MouseModes::ShowViewPopup(bool fromPlot) {
  c_.mnuViewSep1->setVisible(fromPlot);
  c_.mnuViewDone->setVisible(fromPlot);
  // Not modal: the pop-up's end is seen in ViewPopupClosing.
  c_.mnuView->popup(QCursor::pos());
}

void MouseModes::ViewPopupClosing() {
  if (!c_.mnuViewDone->isVisible()) return;
  c_.mnuViewSep1->setVisible(false);
  c_.mnuViewDone->setVisible(false);
  // The pop-up took the button's release: the right click ends here, before
  // a command chosen from the menu runs.
  if (std::exchange(popupClick_, false)) mouse_.ClickButton = forms::vbRightButton;
  if (mouse_.ClickButton == forms::vbRightButton) Click();
}

// --- the toolbar's view commands ----------------------------------------------

bool MouseModes::ViewButtonClick(const QString& key) {
  if (key == QLatin1String("Select")) {
    mouse_.PositioningThreshold = false;
    mouse_.PositioningCursor = 0;
    cursors_.Disarm();
    LeaveZoomMode();
    return true;
  }
  for (const ZoomMode& m : kZoomModes)
    if (key == QLatin1String(m.key)) {
      if (mouse_.Mode == m.mode) {
        LeaveZoomMode();
      } else {
        mouse_.Mode = m.mode;
        for (const ZoomMode& other : kZoomModes) {
          const bool on = &other == &m;
          toolbar_.tbMain->SetPressed(QString::fromLatin1(other.key), on);
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
    navigation_.TakeReferenceLocation();
    if (key == QLatin1String("dBperDiv"))
      ApplyDbPreset(view_.DBDivIndex());
    else
      ApplySpanPreset(view_.SpanIndex());
    view_.MoveCursor(navigation_.Selection().SelectedX, navigation_.Selection().SelectedY);
    EndClick();
    return true;
  }
  return false;
}

bool MouseModes::ViewButtonMenuClick(const QString& menuKey) {
  const int db = PresetIndex(menuKey, QLatin1String("dBB"));
  const int span = PresetIndex(menuKey, QLatin1String("FB"));
  if (db < 0 && span < 0) return false;
  navigation_.TakeReferenceLocation();
  if (db >= 0)
    ApplyDbPreset(db);
  else
    ApplySpanPreset(span);
  view_.MoveCursor(navigation_.Selection().SelectedX, navigation_.Selection().SelectedY);
  return true;
}

void MouseModes::ApplyDbPreset(int index) {
  view_.ZoomDbPreset(index, navigation_.Selection().SelectedY);
  EndClick();
}

void MouseModes::ApplySpanPreset(int index) {
  view_.ZoomSpanPreset(index, navigation_.Selection().SelectedX);
  EndClick();
}

// --- the plot's mouse -----------------------------------------------------------

void MouseModes::EndClick() {
  mouse_.ClickButton = 0;
  emit ClickEnded();
}

void MouseModes::AbandonClick() {
  if (mouse_.ClickButton == 0) return;
  if (mouse_.ClickButton == forms::vbRightButton && c_.mnuViewDone->isVisible()) popupClick_ = true;
  if (DragsWith(mouse_.ClickButton)) DragCancel();
  EndClick();
}

void MouseModes::SelectClick(float x, float y) {
  const QPointF click = navigation_.Pick(x, y);
  x = static_cast<float>(click.x());
  y = static_cast<float>(click.y());
  if (mouse_.PositioningThreshold) {
    if (mouse_.PositioningCursor == 0)
      view_.ShowCrosshair();
    else
      ShowPointerImage(mouse_.PositioningCursor + kPointerCursor1 - 1);
    navigation_.SetMinPeakThreshold(-y);
    mouse_.PositioningThreshold = false;
    view_.UpdateView();
  } else if (mouse_.PositioningCursor == 1 || mouse_.PositioningCursor == 2) {
    view_.ShowCrosshair();
    cursors_.Place(mouse_.PositioningCursor, x, y);
    mouse_.PositioningCursor = 0;
  }
  navigation_.ShowClickReadouts(x, y);
}

void MouseModes::ClickAtSelection() {
  MouseDown(forms::vbLeftButton, navigation_.Selection().SelectedX, navigation_.Selection().SelectedY);
  // A simulated click has no release: it ends here, so the capture cycle
  // goes on.
  EndClick();
}

void MouseModes::MouseDown(int button, float x, float y) {
  popupClick_ = false;
  mouse_.ClickButton = static_cast<std::int16_t>(button);
  mouse_.PointerMoved = false;
  // What each button does in each mode is the table's (InputBindings),
  // which the Keyboard and Mouse window lists.
  if (MouseDoes(button, mouse_.Mode, MouseButtonAction::Pick)) SelectClick(x, y);
  if (MouseDoes(button, mouse_.Mode, MouseButtonAction::DragZoom)) {
    mouse_.DragAnchorX = x;
    mouse_.DragAnchorY = y;
    mouse_.DragCornerX = x;
    mouse_.DragCornerY = y;
  }
  if (MouseDoes(button, mouse_.Mode, MouseButtonAction::ViewMenu)) ShowViewPopup(true);
}

void MouseModes::MouseMove(int button, float x, float y) {
  // Zoom and pan act where the pointer was last, or on the point selected
  // since.
  navigation_.SetSelectedLocation(x, y);
  cursors_.ShowPointerReadout(x, y);
  mouse_.PointerMoved = true;
  // A drag shows its rubber band while the button that began it is held.
  if (mouse_.ClickButton != 0 && (button & mouse_.ClickButton) != 0 && DragsWith(mouse_.ClickButton)) DragMove(x, y);
}

void MouseModes::MouseUp(int button) {
  if (button == mouse_.ClickButton && DragsWith(button)) DragEnd(button);
}

void MouseModes::Click() {
  const SelectionState& selection = navigation_.Selection();
  const int button = mouse_.ClickButton;
  // The click that ends a drag does nothing more, but for a right click,
  // which leaves the zoom mode.
  if (mouse_.Mode == MouseMode::DragFinished) {
    if (button == forms::vbRightButton)
      LeaveZoomMode();
    else
      mouse_.Mode = mouse_.SavedMode;
  } else if (MouseDoes(button, mouse_.Mode, MouseButtonAction::ZoomIn)) {
    view_.ZoomInView(selection.SelectedX, selection.SelectedY);
  } else if (MouseDoes(button, mouse_.Mode, MouseButtonAction::ZoomOut)) {
    view_.ZoomOutView(selection.SelectedX, selection.SelectedY);
  } else if (MouseDoes(button, mouse_.Mode, MouseButtonAction::Center)) {
    view_.CenterView(selection.SelectedX, selection.SelectedY);
  } else if (MouseDoes(button, mouse_.Mode, MouseButtonAction::LeaveZoomMode)) {
    LeaveZoomMode();
  }
  EndClick();
}

void MouseModes::FormMouseDown(int button) {
  if (button == forms::vbRightButton) ShowViewPopup(false);
}

}  // namespace specterm
