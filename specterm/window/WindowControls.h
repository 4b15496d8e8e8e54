#pragma once

// The main window's own controls: the menus it owns itself and the client
// area below the menu bar. Every other control belongs to the subsystem that
// drives it, in that subsystem's group (PlotControls, StatusControls,
// TraceControls, NavigationControls, ModeControls, CursorControls,
// EntryControls, ExportControls, ModemMenuControls, CycleControls,
// ToolbarControls); the window holds them all under their names.

class QAction;
class QMenu;
class QWidget;

namespace specterm {

struct WindowControls {
  QMenu* mnuFile = nullptr;
  QAction* mnuFileExit = nullptr;
  QMenu* mnuOptions = nullptr;
  // "&Window Spectrum Trace": the processing's option, kept by the window.
  QAction* mnuOptionsWindow = nullptr;
  QMenu* mnuHelp = nullptr;
  QAction* mnuHelpAbout = nullptr;
  // The client area below the menu bar.
  QWidget* client = nullptr;
};

}  // namespace specterm
