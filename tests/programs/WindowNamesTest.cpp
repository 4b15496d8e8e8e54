// Every control of both programs' windows and dialogs has an accessible name,
// as a screen reader or UI automation reads it through Qt's accessibility
// interfaces, once the program's namer is installed (as both main()s do).

#include "forms/AccessibleNames.h"
#include "modems/frmAbout.h"
#include "modems/frmMain.h"
#include "monitor/AboutDialog.h"
#include "monitor/AddressDialog.h"
#include "monitor/AppWindow.h"
#include "monitor/ConstellationMonitor.h"
#include "monitor/DialogHandler.h"
#include "reflash/ReflashDialog.h"

#include "TestSupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A widget the user operates: buttons, text boxes, lists, scroll bars, and
// anything else that takes the focus.
bool IsControl(const QWidget* widget) {
  if (qobject_cast<const QMenu*>(widget) != nullptr || qobject_cast<const QMenuBar*>(widget) != nullptr) return false;
  return qobject_cast<const QAbstractButton*>(widget) != nullptr || qobject_cast<const QLineEdit*>(widget) != nullptr ||
         qobject_cast<const QComboBox*>(widget) != nullptr || qobject_cast<const QAbstractSlider*>(widget) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(widget) != nullptr || qobject_cast<const QTabBar*>(widget) != nullptr ||
         qobject_cast<const QAbstractItemView*>(widget) != nullptr || widget->focusPolicy() != Qt::NoFocus;
}

QString AccessibleName(QObject* object) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
  return accessible != nullptr ? accessible->text(QAccessible::Name).trimmed() : QString();
}

std::string Describe(const QObject* object) {
  return std::string(object->metaObject()->className()) + " '" + object->objectName().toStdString() + "'";
}

// The controls of window (its own, not those of popups and other windows)
// and the menu items under it that have no accessible name.
std::vector<std::string> Nameless(QWidget* window) {
  std::vector<std::string> nameless;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* widget : widgets) {
    if (widget->window() != window || !IsControl(widget)) continue;
    // A list box's accessible name on Linux is its current entry; what
    // names it is the widget's own.
    const bool named = qobject_cast<QComboBox*>(widget) != nullptr ? !widget->accessibleName().isEmpty()
                                                                   : !AccessibleName(widget).isEmpty();
    if (!named) nameless.push_back(Describe(widget));
  }
  // Menu items: Qt names them after the action's text.
  for (QMenu* menu : window->findChildren<QMenu*>()) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
    if (accessible == nullptr) continue;
    for (int i = 0; i < accessible->childCount(); ++i) {
      QAccessibleInterface* item = accessible->child(i);
      // Hidden items (an empty recent list) are not there for the user.
      if (item == nullptr || item->role() == QAccessible::Separator || item->state().invisible) continue;
      if (item->text(QAccessible::Name).trimmed().isEmpty())
        nameless.push_back("menu item " + std::to_string(i) + " of " + Describe(menu));
    }
  }
  return nameless;
}

struct WindowCase {
  const char* name;
  // Builds and shows the window; the returned object owns everything.
  std::function<std::shared_ptr<QWidget>()> open;
};

void PrintTo(const WindowCase& window, std::ostream* os) { *os << window.name; }

class WindowNamesTest : public ::testing::TestWithParam<WindowCase> {
 protected:
  static void SetUpTestSuite() { forms::KeepControlsNamed(); }
};

TEST_P(WindowNamesTest, EveryControlHasAnAccessibleName) {
  std::shared_ptr<QWidget> window = GetParam().open();
  ASSERT_NE(window, nullptr);
  window->show();
  QApplication::processEvents();
  ASSERT_GT(window->findChildren<QWidget*>().size(), 1) << "the window has controls";
  const std::vector<std::string> nameless = Nameless(window.get());
  EXPECT_TRUE(nameless.empty()) << ::testing::PrintToString(nameless);
  window->close();
}

// Keeps the objects a dialog works on alive as long as the dialog.
template <typename Dialog, typename... Owned>
std::shared_ptr<QWidget> Owning(std::unique_ptr<Dialog> dialog, std::shared_ptr<Owned>... owned) {
  Dialog* raw = dialog.release();
  return std::shared_ptr<QWidget>(raw, [owned...](QWidget* widget) { delete widget; });
}

const WindowCase kWindows[] = {
    {"specterm_main",
     [] {
       auto form = std::make_shared<specterm::frmMain>();
       form->Form_Load();
       return std::static_pointer_cast<QWidget>(form);
     }},
    {"specterm_about", [] { return std::static_pointer_cast<QWidget>(std::make_shared<specterm::frmAbout>()); }},
    {"orbscope_main",
     [] {
       orbscope::CAppWindow::Options options;
       return std::shared_ptr<QWidget>(orbscope::CAppWindow::Create(options).release());
     }},
    {"orbscope_about",
     [] { return std::static_pointer_cast<QWidget>(std::make_shared<orbscope::CAboutDialog>(nullptr)); }},
    {"orbscope_select_modem",
     [] {
       auto address = std::make_shared<CTextBuf>("127.0.0.1");
       auto factory = std::make_shared<CAddressDialogFactory>(*address);
       return Owning(std::make_unique<orbscope::CHandlerDialog>(orbscope::SelectModemTemplate, *factory, nullptr),
                     address, factory);
     }},
    {"orbscope_reflash",
     [] {
       auto monitor = std::make_shared<CConstellationMonitor>(CTextBuf("127.0.0.1"));
       auto factory = std::make_shared<CReflashDialogFactory>(*monitor, orbscope::ReflashTiming{});
       return Owning(std::make_unique<orbscope::CHandlerDialog>(orbscope::ReflashTemplate, *factory, nullptr), monitor,
                     factory);
     }},
};

INSTANTIATE_TEST_SUITE_P(Programs, WindowNamesTest, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

}  // namespace
