// The status bar's conventions: transient notices in the "Status" panel,
// the link status picture, the coordinate label's timer and the copy of the
// current view to the clipboard.

#include "forms/Dialogs.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"
#include "modems/frmMain.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>

namespace specterm {

void frmMain::ShowStatusMessage(const QString& text) {
  sbStatus->SetPanelText(QStringLiteral("Status"), text);
  // Every notice gets its full five seconds.
  timerStatus->start();
}

void frmMain::timerStatus_Timer() {
  timerStatus->stop();
  sbStatus->SetPanelText(QStringLiteral("Status"), QString());
}

void frmMain::timerCoord_Timer() {
  cmdCoord->hide();
  timerCoord->stop();
}

void frmMain::SetStatusImage(int image) {
  sbStatus->SetPanelPicture(QStringLiteral("Status"), imgToolbar.Picture(image));
}

void frmMain::mnuViewCopy_Click() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(picSpectrum->Image());
}

void frmMain::sbStatus_PanelDblClick(const QString& key) {
  if (key.compare(QStringLiteral("CurPoint"), Qt::CaseInsensitive) != 0) return;
  if (Selection.SelectedPoint != 0) {
    mnuViewCurPoint->trigger();
    return;
  }
  ShowStatusMessage(QStringLiteral("There is no previously selected data point!"));
  forms::Beep();
}

}  // namespace specterm
