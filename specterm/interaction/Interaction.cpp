// The dispatcher's handlers: each forwards to the navigation, the mouse
// modes or the cursors, and the "Go to" commands end in a left click at the
// new location, as the user would make it.

#include "interaction/Interaction.h"

#include "base/Twips.h"
#include "forms/KeyedToolBar.h"
#include "interaction/Cursors.h"
#include "interaction/MouseModes.h"
#include "interaction/Navigation.h"
#include "view/PlotView.h"
#include "view/ToolbarControls.h"
#include "view/ViewModel.h"

#include <QCursor>

namespace specterm {

Interaction::Interaction(Navigation& navigation, MouseModes& modes, Cursors& cursors, PlotView& view,
                         ToolbarControls& toolbar)
    : navigation_(navigation), modes_(modes), cursors_(cursors), view_(view), toolbar_(toolbar) {}

// --- the plot's mouse ---------------------------------------------------------

void Interaction::picSpectrum_MouseDown(int button, int, float x, float y) { modes_.MouseDown(button, x, y); }

void Interaction::picSpectrum_MouseMove(int button, int, float x, float y) { modes_.MouseMove(button, x, y); }

void Interaction::picSpectrum_MouseUp(int button, int, float, float) { modes_.MouseUp(button); }

void Interaction::picSpectrum_Click() { modes_.Click(); }

void Interaction::Form_MouseDown(int button, int, float, float) { modes_.FormMouseDown(button); }

void Interaction::ViewPopupClosing() { modes_.ViewPopupClosing(); }

void Interaction::EndClick() { modes_.EndClick(); }

void Interaction::AbandonClick() { modes_.AbandonClick(); }

bool Interaction::ClickPending() const { return modes_.ClickPending(); }

void Interaction::ClickAtSelectedLocation() { modes_.ClickAtSelection(); }

void Interaction::NewDataSet(float referenceX, float referenceY) {
  navigation_.SetReferenceLocation(referenceX, referenceY);
  navigation_.SetMoveButtons();
}

// --- point commands -------------------------------------------------------------

void Interaction::MoveAndClick(void (Navigation::*move)()) {
  (navigation_.*move)();
  modes_.ClickAtSelection();
}

void Interaction::mnuViewFirstPoint_Click() { MoveAndClick(&Navigation::MoveFirstPoint); }

void Interaction::mnuViewNextPoint_Click() { MoveAndClick(&Navigation::MoveNextPoint); }

void Interaction::mnuViewPreviousPoint_Click() { MoveAndClick(&Navigation::MovePreviousPoint); }

void Interaction::mnuViewLastPoint_Click() { MoveAndClick(&Navigation::MoveLastPoint); }

void Interaction::mnuViewCurPoint_Click() { MoveAndClick(&Navigation::MoveCurPoint); }

void Interaction::mnuViewPeakPoint_Click() { navigation_.mnuViewPeakPoint_Click(); }

void Interaction::comboPeakPoint_Click() { navigation_.comboPeakPoint_Click(); }

void Interaction::sbStatus_PanelDblClick(const QString& key) {
  if (key.compare(QStringLiteral("CurPoint"), Qt::CaseInsensitive) != 0) return;
  if (navigation_.Selection().SelectedPoint != 0)
    mnuViewCurPoint_Click();
  else
    navigation_.NoSelectedPoint();
}

void Interaction::tbMain_MouseDown(int, int, float x, float y) {
  commands_.ToolbarPressX = x;
  commands_.ToolbarPressY = y;
}

void Interaction::ReturnPointerToToolbar() {
  const auto x = RoundHalfEven(static_cast<double>(RoundHalfEven(commands_.ToolbarPressX)) / kTwipsPerPixel);
  const auto y = RoundHalfEven(static_cast<double>(RoundHalfEven(commands_.ToolbarPressY)) / kTwipsPerPixel);
  QCursor::setPos(toolbar_.tbMain->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y))));
}

bool Interaction::PointButtonClick(const QString& key) {
  void (Navigation::*move)() = nullptr;
  if (key == QLatin1String("FirstPoint"))
    move = &Navigation::MoveFirstPoint;
  else if (key == QLatin1String("NextPoint"))
    move = &Navigation::MoveNextPoint;
  else if (key == QLatin1String("PreviousPoint"))
    move = &Navigation::MovePreviousPoint;
  else if (key == QLatin1String("LastPoint"))
    move = &Navigation::MoveLastPoint;
  else if (key == QLatin1String("CurPoint"))
    move = &Navigation::MoveCurPoint;
  else
    return false;
  MoveAndClick(move);
  ReturnPointerToToolbar();
  return true;
}

// --- positioning, cursors and view commands ---------------------------------

void Interaction::mnuViewThreshold_Click() { modes_.ArmThreshold(); }

void Interaction::mnuViewCursor_Click(int index) { modes_.ArmCursor(index + 1); }

void Interaction::mnuViewCursors_Click() { cursors_.mnuViewCursors_Click(); }

void Interaction::mnuViewZoomCursors_Click() { cursors_.mnuViewZoomCursors_Click(); }

void Interaction::tbCursors_ButtonClick(const QString& key) { cursors_.tbCursors_ButtonClick(key); }

void Interaction::mnuViewEnd_Click() { modes_.LeaveZoomMode(); }

void Interaction::mnuViewDBB_Click(int index) { modes_.ApplyDbPreset(index); }

void Interaction::mnuViewFB_Click(int index) { modes_.ApplySpanPreset(index); }

bool Interaction::ViewButtonClick(const QString& key) { return modes_.ViewButtonClick(key); }

bool Interaction::ViewButtonMenuClick(const QString& menuKey) { return modes_.ViewButtonMenuClick(menuKey); }

void Interaction::EditPaletteColor(int palette, int slot) {
  if (view_.EditPaletteColor(palette, slot)) modes_.RenewPointer();
}

}  // namespace specterm
