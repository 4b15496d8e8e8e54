// Connects the plot's mouse events, the scroll bars, the preset menus, "&End
// Zoom Mode", the View menu's pop-up use and the window's key preview.

#include "forms/PictureBox.h"
#include "view/PlotRenderer.h"
#include "view/ScrollBars.h"
#include "window/frmMain.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

namespace specterm {

void frmMain::WireViewControls() {
  // A click on the plot takes the keyboard from an entry field.
  picSpectrum->setFocusPolicy(Qt::ClickFocus);
  picSpectrum->SetFontName(QString::fromLatin1(kLegendFontFace));
  picSpectrum->SetFontSize(kLegendFontPoints);
  connect(picSpectrum, &forms::PictureBox::MouseDown, this, &frmMain::picSpectrum_MouseDown);
  connect(picSpectrum, &forms::PictureBox::MouseMove, this, &frmMain::picSpectrum_MouseMove);
  connect(picSpectrum, &forms::PictureBox::MouseUp, this, &frmMain::picSpectrum_MouseUp);
  connect(picSpectrum, &forms::PictureBox::Click, this, &frmMain::picSpectrum_Click);
  // A press released where no click follows ends there too.
  connect(picSpectrum, &forms::PictureBox::NoClick, this, [this] { input_.EndClick(); });
  // So does a press that a message box or a menu took from the plot.
  connect(picSpectrum, &forms::PictureBox::PressTaken, this, [this] { input_.AbandonClick(); });
  // A data set that arrived while a button was held is shown once the click
  // has ended.
  connect(&modes_, &MouseModes::ClickEnded, this, [this] { cycle_.ShowHeldDataSet(); });

  QStyle* arrows = NewScrollArrowStyle(this);
  for (QScrollBar* bar : {hScroll, vScroll}) {
    bar->setStyle(arrows);
    bar->setTracking(false);
  }
  connect(hScroll, &QScrollBar::valueChanged, this, &frmMain::hScroll_Change);
  connect(vScroll, &QScrollBar::valueChanged, this, &frmMain::vScroll_Change);
  connect(hScroll, &QScrollBar::sliderMoved, this, &frmMain::hScroll_Scroll);
  connect(vScroll, &QScrollBar::sliderMoved, this, &frmMain::vScroll_Scroll);
  for (QScrollBar* bar : {hScroll, vScroll})
    connect(bar, &QScrollBar::sliderReleased, this,
            [this, bar] { view_.ScrollThumbReleased(bar->sliderPosition() != bar->value()); });

  for (int i = 0; i < 10; ++i) {
    connect(mnuViewDBB[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuViewDBB_Click(i); });
    connect(mnuViewFB[static_cast<std::size_t>(i)], &QAction::triggered, this, [this, i] { mnuViewFB_Click(i); });
  }
  connect(mnuViewEnd, &QAction::triggered, this, &frmMain::mnuViewEnd_Click);
  connect(mnuView, &QMenu::aboutToHide, this, [this] { input_.ViewPopupClosing(); });

  input_.NewKeyPreview(this);
  centralWidget()->installEventFilter(input_.NewFormMouse(this, centralWidget()));
}

}  // namespace specterm
