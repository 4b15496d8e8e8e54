// Every control of both programs' windows and dialogs has an accessible name,
// as screen readers and UI automation read it through Qt's accessibility,
// with the namer both programs install.

#include "forms/AccessibleNames.h"
#include "modems/frmAbout.h"
#include "modems/frmModem.h"
#include "modems/frmModemSelect.h"
#include "window/frmMain.h"
#include "monitor/AboutDialog.h"
#include "monitor/AddressDialog.h"
#include "monitor/AppWindow.h"
#include "monitor/ConstellationMonitor.h"
#include "reflash/ReflashDialog.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Nameless(QWidget* window) {
  std::vector<std::string> nameless;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* w : widgets) {
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSlider*>(w) ||
                         (w->focusPolicy() != Qt::NoFocus && !qobject_cast<QMenu*>(w));
    if (w->window() != window || !control) continue;
    // On Linux Qt names a list box after its current entry; its own name is
    // the widget's.
    const QString name = qobject_cast<QComboBox*>(w)
                             ? w->accessibleName()
                             : QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    if (name.trimmed().isEmpty())
      nameless.push_back(w->metaObject()->className() + (" " + w->objectName()).toStdString());
  }
  for (QMenu* menu : window->findChildren<QMenu*>()) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; i < accessible->childCount(); ++i) {
      QAccessibleInterface* item = accessible->child(i);
      // Hidden items (an empty recent list) are not there for the user.
      if (item->role() != QAccessible::Separator && !item->state().invisible &&
          item->text(QAccessible::Name).trimmed().isEmpty())
        nameless.push_back("item " + std::to_string(i) + " of menu " + menu->objectName().toStdString());
    }
  }
  return nameless;
}

struct WindowCase {
  const char* name;
  std::function<QWidget*()> open;  // the window, owned by the caller
};
void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

// A modem dialog over a main window of its own, which goes with it.
template <class Dialog>
QWidget* OnMainWindow() {
  auto* form = new specterm::frmMain;
  auto* dialog = new Dialog(form->Directory());
  QObject::connect(dialog, &QObject::destroyed, form, [form] { form->deleteLater(); });
  return dialog;
}

// The address the orbscope dialogs work on.
CTextBuf address("127.0.0.1");
CAddressDialogFactory addressFactory(address);

const WindowCase kWindows[] = {
    {"specterm_main",
     [] {
       auto* form = new specterm::frmMain;
       form->Form_Load();
       return form;
     }},
    {"specterm_about", [] { return new specterm::frmAbout; }},
    {"specterm_modem", [] { return OnMainWindow<specterm::frmModem>(); }},
    {"specterm_modem_select", [] { return OnMainWindow<specterm::frmModemSelect>(); }},
    {"orbscope_main", [] { return orbscope::CAppWindow::Create({}).release(); }},
    {"orbscope_about", [] { return new orbscope::CAboutDialog(nullptr); }},
    {"orbscope_select_modem",
     [] { return new orbscope::CHandlerDialog(orbscope::SelectModemTemplate, addressFactory, nullptr); }},
    {"orbscope_reflash",
     [] {
       auto monitor = std::make_shared<CConstellationMonitor>(address);
       auto factory = std::make_shared<CReflashDialogFactory>(*monitor, orbscope::ReflashTiming{});
       auto* dialog = new orbscope::CHandlerDialog(orbscope::ReflashTemplate, *factory, nullptr);
       // Both go with the dialog.
       QObject::connect(dialog, &QObject::destroyed, [monitor, factory] {});
       return dialog;
     }},
};

class WindowNamesTest : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowNamesTest, EveryControlHasAnAccessibleName) {
  forms::KeepControlsNamed();
  const std::unique_ptr<QWidget> window(GetParam().open());
  ASSERT_NE(window, nullptr);
  window->show();
  QApplication::processEvents();
  EXPECT_EQ(Nameless(window.get()), std::vector<std::string>());
  window->close();
}

INSTANTIATE_TEST_SUITE_P(Programs, WindowNamesTest, ::testing::ValuesIn(kWindows),
                         [](const ::testing::TestParamInfo<WindowCase>& info) { return info.param.name; });

}  // namespace
