// The move-type labels, the enabling of the point movement commands, where
// the main toolbar was pressed, and the point panel's double click.

#include "forms/Dialogs.h"
#include "forms/KeyedToolBar.h"
#include "interaction/Interaction.h"
#include "processing/Processing.h"
#include "view/StatusBarPresenter.h"
#include "window/FormControls.h"

#include <QAction>
#include <QComboBox>

namespace specterm {
namespace {

// Labels of the point movement controls for moving by all points and by
// peak points.
struct MoveLabel {
  const char* button;
  const char* allPoints;
  const char* peakPoints;
};

constexpr MoveLabel kButtonLabels[] = {
    {"FirstPoint", "Go to First Point", "Go to Lowest Peak"},
    {"NextPoint", "Go to Next Point", "Go to Next Highest Peak"},
    {"PreviousPoint", "Go to Previous Point", "Go to Previous Highest Peak"},
    {"LastPoint", "Go to Last Point", "Go to Highest Peak"},
    {"CurPoint", "Go to Last Selected Point", "Go to Last Selected Peak"},
};

struct MenuLabel {
  QAction* FormControls::*item;
  const char* allPoints;
  const char* peakPoints;
};

const MenuLabel kMenuLabels[] = {
    {&FormControls::mnuViewFirstPoint, "Go to First (&Bottom) Point", "Go to Lowest (&Bottom) Peak"},
    {&FormControls::mnuViewNextPoint, "Go to &Next Point", "Go to &Next Highest Peak"},
    {&FormControls::mnuViewPreviousPoint, "Go to &Previous Point", "Go to &Previous Highest Peak"},
    {&FormControls::mnuViewLastPoint, "Go to Last (&Top) Point", "Go to Highest (&Top) Peak"},
    {&FormControls::mnuViewCurPoint, "Go to &Last Selected Point", "Go to &Last Selected Peak"},
    // This item names the mode that choosing it switches to.
    {&FormControls::mnuViewPeakPoint, "Select &Move by Peak Points", "Select &Move by All Points"},
};

}  // namespace

void Interaction::tbMain_MouseDown(int, int, float x, float y) {
  commands_.ToolbarPressX = x;
  commands_.ToolbarPressY = y;
}

void Interaction::comboPeakPoint_Click() {
  selection_.MoveType = static_cast<std::int16_t>(c_.comboPeakPoint->currentIndex() == 1 ? 1 : 0);
  const bool peaks = selection_.MoveType == 1;
  for (const MoveLabel& l : kButtonLabels)
    c_.tbMain->SetToolTip(QString::fromLatin1(l.button), QString::fromLatin1(peaks ? l.peakPoints : l.allPoints));
  for (const MenuLabel& l : kMenuLabels) (c_.*l.item)->setText(QString::fromLatin1(peaks ? l.peakPoints : l.allPoints));
}

void Interaction::mnuViewPeakPoint_Click() {
  selection_.MoveType = static_cast<std::int16_t>(selection_.MoveType == 0 ? 1 : 0);
  c_.comboPeakPoint->setCurrentIndex(selection_.MoveType);
}

void Interaction::SetMoveButtons() {
  const bool enabled = selection_.SelectedTrace != -1 && spectrum_.Traces().HaveData;
  for (const char* key : {"FirstPoint", "NextPoint", "PreviousPoint", "LastPoint"})
    c_.tbMain->SetEnabled(QString::fromLatin1(key), enabled);
  for (QAction* item : {c_.mnuViewFirstPoint, c_.mnuViewNextPoint, c_.mnuViewPreviousPoint, c_.mnuViewLastPoint})
    item->setEnabled(enabled);
}

void Interaction::sbStatus_PanelDblClick(const QString& key) {
  if (key.compare(QStringLiteral("CurPoint"), Qt::CaseInsensitive) != 0) return;
  if (selection_.SelectedPoint != 0) {
    mnuViewCurPoint_Click();
    return;
  }
  status_.ShowStatusMessage(QStringLiteral("There is no previously selected data point!"));
  forms::Beep();
}

}  // namespace specterm
