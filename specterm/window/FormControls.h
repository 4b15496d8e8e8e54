#pragma once

// The controls of the analyzer's main window, named as the menus, toolbars
// and boxes are named everywhere else (a menu item is a QAction whose object
// name is its own name, such as "mnuViewZoomIn"). The window creates them;
// each subsystem object drives the controls it owns through this set.

#include "forms/EntryBox.h"
#include "forms/ImageList.h"

#include <array>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTimer;
class QWidget;

namespace forms {
class KeyedStatusBar;
class KeyedToolBar;
class PictureBox;
}  // namespace forms

namespace specterm {

struct FormControls {
  // ----- Menus -----
  QMenu* mnuFile = nullptr;
  QMenu* mnuFileExport = nullptr;
  QAction* mnuFileRaw = nullptr;
  QAction* mnuFileTransformed = nullptr;
  QAction* mnuFileScaled = nullptr;
  QAction* mnuFilePeakHold = nullptr;
  QAction* mnuFileVideoAverage = nullptr;
  QAction* mnuFileExit = nullptr;

  QMenu* mnuView = nullptr;
  QAction* mnuViewSelect = nullptr;
  QAction* mnuViewZoomWin = nullptr;
  QAction* mnuViewZoomIn = nullptr;
  QAction* mnuViewZoomOut = nullptr;
  QAction* mnuViewPan = nullptr;
  QAction* mnuViewEnd = nullptr;
  QAction* mnuViewFitView = nullptr;
  QAction* mnuViewPrevious = nullptr;
  QAction* mnuViewZoomCursors = nullptr;
  QMenu* mnuViewDBBMenu = nullptr;
  QMenu* mnuViewFBMenu = nullptr;
  std::array<QAction*, 10> mnuViewDBB{};
  std::array<QAction*, 10> mnuViewFB{};
  QAction* mnuViewFirstPoint = nullptr;
  QAction* mnuViewNextPoint = nullptr;
  QAction* mnuViewPreviousPoint = nullptr;
  QAction* mnuViewLastPoint = nullptr;
  QAction* mnuViewCurPoint = nullptr;
  QAction* mnuViewPeakPoint = nullptr;
  QAction* mnuViewThreshold = nullptr;
  std::array<QAction*, 2> mnuViewCursor{};
  QAction* mnuViewCursors = nullptr;
  QAction* mnuViewCopy = nullptr;
  QAction* mnuViewSep1 = nullptr;
  QAction* mnuViewDone = nullptr;

  QMenu* mnuTools = nullptr;
  QAction* mnuToolsCurrentTrace = nullptr;
  QAction* mnuToolsLastTrace = nullptr;
  QAction* mnuToolsVideoAverage = nullptr;
  QAction* mnuToolsPeakHold = nullptr;

  QMenu* mnuOptions = nullptr;
  QAction* mnuOptionsWindow = nullptr;
  QAction* mnuOptionsSnap = nullptr;
  QAction* mnuOptionsPanel = nullptr;
  std::array<QAction*, 2> mnuOptionsPalette{};
  std::array<QMenu*, 2> mnuViewColors{};
  // The colour items per palette, in the order of kColorMenuItems.
  std::array<std::array<QAction*, 8>, 2> mnuOptionsColor{};

  QMenu* mnuComm = nullptr;
  QAction* mnuCommAdd = nullptr;
  QAction* mnuCommManage = nullptr;
  QMenu* mnuCommRecent = nullptr;
  std::array<QAction*, 10> mnuCommSel{};
  QAction* mnuCommSep0 = nullptr;
  QAction* mnuCommStopGo = nullptr;
  QAction* mnuCommSingleStep = nullptr;

  QMenu* mnuHelp = nullptr;
  QAction* mnuHelpAbout = nullptr;

  // ----- Controls of the client area -----
  QWidget* client = nullptr;  // the client area below the menu bar
  forms::KeyedToolBar* tbMain = nullptr;
  forms::KeyedToolBar* tbCursors = nullptr;
  forms::PictureBox* picSpectrum = nullptr;
  forms::KeyedStatusBar* sbStatus = nullptr;
  QProgressBar* pbStatus = nullptr;
  QPushButton* cmdUpdate = nullptr;
  QPushButton* cmdCoord = nullptr;
  QScrollBar* hScroll = nullptr;
  QScrollBar* vScroll = nullptr;
  forms::EntryBox* txtPoint = nullptr;
  forms::EntryBox* txtFreq = nullptr;
  forms::EntryBox* txtAmp = nullptr;
  forms::EntryBox* txtThreshold = nullptr;
  std::array<QLineEdit*, 8> txtCursor{};
  QComboBox* comboPeakPoint = nullptr;
  QTimer* timerPoll = nullptr;
  QTimer* timerConnection = nullptr;
  QTimer* timerStatus = nullptr;
  QTimer* timerCoord = nullptr;

  // Main toolbar images (7, 8 and 9 are the link status images), the cursor
  // toolbar's images and the plot's mouse pointers.
  forms::ImageList imgToolbar;
  forms::ImageList imgCursorBar;
  forms::ImageList imgCursors;
};

}  // namespace specterm
