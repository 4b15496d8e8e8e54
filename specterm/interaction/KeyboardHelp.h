#pragma once

// Help > "&Keyboard and Mouse" (Shift+F1): one window that lists every key,
// shortcut and mouse action of the main window with what it does, grouped,
// and narrowed to the rows that hold what is typed into its search box. It
// is made from the tables the window acts on: the menus' own shortcuts and
// the key and mouse tables of the dispatch (InputBindings), so it lists what
// the program does, not what someone remembered to write down.

#include "interaction/InputBindings.h"

#include <QPointer>
#include <QString>

#include <vector>

class QAction;
class QMenuBar;
class QWidget;

namespace specterm {

struct HelpControls {
  QAction* mnuHelpKeys = nullptr;
};

// One line of the list.
struct HelpRow {
  HelpGroup Group;
  QString Keys;  // "Ctrl+I", "Left", "Middle drag"
  QString What;
};

// Every row, grouped in the order of HelpGroup: the menu items that have a
// shortcut (named by their menu and caption), the keys the window previews
// and the plot's mouse.
std::vector<HelpRow> KeyboardHelpRows(const QMenuBar& menus);

class KeyboardHelp {
 public:
  KeyboardHelp(QWidget& window, const QMenuBar& menus);

  // Opens the window, or brings it to the front when it is open.
  void mnuHelpKeys_Click();
  // The window while it is open.
  QWidget* HelpWindow() const { return help_; }

 private:
  QWidget& window_;
  const QMenuBar& menus_;
  QPointer<QWidget> help_;
};

}  // namespace specterm
