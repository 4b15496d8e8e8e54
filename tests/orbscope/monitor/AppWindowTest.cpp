// The main window without a modem: menu, command table, help, address.

#include "monitor/AddressDialog.h"
#include "monitor/AppWindow.h"
#include "monitor/DialogHandler.h"
#include "monitor/Identifiers.h"
#include "monitor/RegistryKey.h"
#include "monitor/Reports.h"
#include "monitor/WinException.h"

#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "registry/Registry.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace orbscope;

std::unique_ptr<CAppWindow> Window(const std::string& address = "", bool given = false) {
  CAppWindow::Options options;
  options.commandLine.address = address;
  options.commandLine.addressGiven = given;
  options.commandLine.startAutomatically = false;
  auto window = CAppWindow::Create(options);
  EXPECT_NE(window, nullptr);
  return window;
}

class AppWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::DialogSeam::ClearShown();
    // No address remembered from another test.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOrbscopeRegistryPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, kModemAddressValue);
      RegCloseKey(key);
    }
  }
};

// Answers the next modal dialog (Select Modem) with address, or Cancel when
// it is empty; shown receives the address the dialog offered.
void AnswerSelectModem(const QString& address, QString* shown = nullptr) {
  QTimer::singleShot(0, [address, shown] {
    QWidget* dialog = nullptr;
    testsupport::WaitUntil([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; });
    ASSERT_NE(dialog, nullptr);
    if (shown != nullptr) *shown = DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->text();
    DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->setText(address);
    DlgItem<QPushButton>(dialog, address.isEmpty() ? IDCANCEL : IDOK)->click();
  });
}

TEST_F(AppWindowTest, WithoutAddressStartAndStopAreDisabled) {
  auto window = Window();
  EXPECT_EQ(window->windowTitle(), "Orbscope");
  EXPECT_TRUE(window->MenuItem(IDM_SET_ADDRESS)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STOP)->isEnabled());
  EXPECT_TRUE(window->MenuItem(IDM_REFLASH)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_PRINTER_SETUP)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_PRINT)->isEnabled());
  EXPECT_TRUE(window->MenuItem(IDM_EXIT)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STATISTICS)->isChecked());
  EXPECT_EQ(window->MenuItem(IDM_START)->text(), "&Start Real Time Update");
  EXPECT_EQ(window->MenuItem(IDM_STATISTICS)->text(), "Enable Statistics");
  EXPECT_EQ(window->MenuItem(IDM_ABOUT)->text(), "&About...");
}

TEST_F(AppWindowTest, HelpIsReachedByArrowKeysAndScreenReadersAndSitsAtTheRight) {
  auto window = Window();
  window->show();
  QMenuBar* bar = window->menuBar();
  QStringList menus;
  for (QAction* action : bar->actions())
    if (!action->isSeparator()) menus << action->text();
  EXPECT_EQ(menus, QStringList({"&File", "&EVM", "&Help"}));
  QAction* help = bar->actions().constLast();
  EXPECT_GT(bar->actionGeometry(help).left(), bar->width() / 2) << "at the right end";

  QStringList read;
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar);
  for (int i = 0; i < accessible->childCount(); ++i) read << accessible->child(i)->text(QAccessible::Name);
  EXPECT_TRUE(read.contains("Help")) << read.join(',').toStdString();

  // From File, Right twice opens Help.
  bar->setActiveAction(bar->actions().constFirst());
  for (int n = 0; n < 2; ++n) {
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(QApplication::activePopupWidget(), &right);
  }
  EXPECT_EQ(bar->activeAction(), help);
  bar->setActiveAction(nullptr);
}

TEST_F(AppWindowTest, ThePollTimerIsPrecise) { EXPECT_EQ(Window()->PollTimer().timerType(), Qt::PreciseTimer); }

TEST_F(AppWindowTest, TheLastAddressIsOfferedAtTheNextStartWithoutStarting) {
  Window("127.0.0.7", true);
  {
    auto window = Window();
    EXPECT_EQ(window->windowTitle(), "Orbscope (127.0.0.7)");
    EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
    EXPECT_FALSE(window->Starting() || window->Monitor().IsConnected());
    QString offered;
    AnswerSelectModem(QStringLiteral("127.0.0.8"), &offered);
    window->OnCommand(IDM_SET_ADDRESS);
    EXPECT_EQ(offered, "127.0.0.7");
  }
  EXPECT_NE(testsupport::ReadFile(std::string(std::getenv("HALDEN_REGISTRY_DIR")) + "/HKEY_LOCAL_MACHINE.reg")
                .find("\"ModemAddress\"=\"127.0.0.8\""),
            std::string::npos);
  EXPECT_STREQ(Window()->Monitor().Address().Text(), "127.0.0.8");
  EXPECT_STREQ(Window("127.0.0.9", false)->Monitor().Address().Text(), "127.0.0.9") << "other text keeps its place";
}

TEST_F(AppWindowTest, AnAddressFromTheCommandLineEnablesStart) {
  auto window = Window("127.0.1.9", true);
  EXPECT_EQ(window->windowTitle(), "Orbscope (127.0.1.9)");
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_FALSE(window->MenuItem(IDM_STOP)->isEnabled());
  EXPECT_STREQ(window->Monitor().Address().Text(), "127.0.1.9");
}

TEST_F(AppWindowTest, TextWithoutTheOptionIsAnAddressButNotATitle) {
  auto window = Window("127.0.1.9", false);
  EXPECT_EQ(window->windowTitle(), "Orbscope");
  EXPECT_FALSE(window->MenuItem(IDM_START)->isEnabled());
}

TEST_F(AppWindowTest, HelpBox) {
  auto window = Window();
  window->MenuItem(IDM_HELP)->trigger();
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Orbscope Help");
  EXPECT_EQ(shown[0].style, forms::vbInformation);
  EXPECT_TRUE(shown[0].text.contains("File->Set Modem Address..."));
  EXPECT_TRUE(shown[0].text.contains("File->Start Real Time Update"));
  EXPECT_TRUE(shown[0].text.contains("orbscope -a<IP address>")) << "the program as it is started here";
  EXPECT_FALSE(shown[0].text.contains(".exe"));
  EXPECT_EQ(shown[0].text.count("\n\n"), 2) << "three paragraphs";
}

TEST_F(AppWindowTest, StatisticsCannotBeEnabledWhileIdle) {
  auto window = Window("127.0.1.9", true);
  window->MenuItem(IDM_STATISTICS)->trigger();
  EXPECT_FALSE(window->MenuItem(IDM_STATISTICS)->isChecked());
  EXPECT_FALSE(window->StatisticsOn());
  EXPECT_FALSE(window->Monitor().StatisticsOn());
}

TEST_F(AppWindowTest, SettingTheAddressUpdatesTitleAndStart) {
  auto window = Window();
  AnswerSelectModem(QStringLiteral("127.16.0.4"));
  window->OnCommand(IDM_SET_ADDRESS);
  EXPECT_EQ(window->windowTitle(), "Orbscope (127.16.0.4)");
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled());
  EXPECT_STREQ(window->Monitor().Address().Text(), "127.16.0.4");

  QTimer::singleShot(0, [] {
    QWidget* dialog = nullptr;
    testsupport::WaitUntil([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; });
    ASSERT_NE(dialog, nullptr);
    DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->clear();
    DlgItem<QPushButton>(dialog, IDOK)->click();
  });
  window->OnCommand(IDM_SET_ADDRESS);
  EXPECT_EQ(window->windowTitle(), "Orbscope");
}

TEST_F(AppWindowTest, ExitClosesTheWindow) {
  auto window = Window();
  window->show();
  ASSERT_TRUE(testsupport::WaitUntil([&] { return window->isVisible(); }));
  window->MenuItem(IDM_EXIT)->trigger();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(AppWindowTest, AboutIsModalOverTheWindow) {
  auto window = Window();
  window->show();
  QString name;
  QWidget* parent = nullptr;
  QTimer::singleShot(0, [&] {
    QWidget* seen = nullptr;
    testsupport::WaitUntil([&] { return (seen = QApplication::activeModalWidget()) != nullptr; });
    if (seen == nullptr) return;
    name = seen->objectName();
    parent = seen->parentWidget();
    DlgItem<QPushButton>(seen, IDOK)->click();
  });
  window->OnCommand(IDM_ABOUT);
  EXPECT_EQ(name, "ABOUT");
  EXPECT_EQ(parent, window.get());
}

TEST_F(AppWindowTest, ReflashOpensItsDialogWhenIdle) {
  auto window = Window("127.0.0.1:1", true);
  QString title;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = nullptr;
    testsupport::WaitUntil([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; });
    if (dialog == nullptr) return;
    title = dialog->windowTitle();
    DlgItem<QPushButton>(dialog, IDCANCEL)->click();
  });
  window->OnCommand(IDM_REFLASH);
  EXPECT_EQ(title, "Modem reFLASH");
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
  EXPECT_TRUE(window->MenuItem(IDM_START)->isEnabled()) << "the menu is unchanged";
}

TEST_F(AppWindowTest, EscapedExceptionsAreReportedWithTheirCode) {
  ReportException(WinException(1010, "Registry key SOFTWARE\\x was not found."));
  ReportUnknownException();
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Registry key SOFTWARE\\x was not found., Error 1010");
  EXPECT_EQ(shown[0].title, "Exception");
  EXPECT_EQ(shown[0].style, forms::vbExclamation);
  EXPECT_EQ(shown[1].text, "Unknown");
  EXPECT_EQ(shown[1].title, "Exception");
}

TEST_F(AppWindowTest, DisabledCommandsDoNothing) {
  auto window = Window();
  window->OnCommand(IDM_PRINT);
  window->OnCommand(IDM_PRINTER_SETUP);
  window->OnCommand(12345);
  EXPECT_TRUE(forms::DialogSeam::Shown().empty());
}

}  // namespace
