// The dialog framework, the "Select Modem" dialog and the About box.

#include "monitor/AboutDialog.h"
#include "monitor/AddressDialog.h"
#include "monitor/DialogHandler.h"
#include "monitor/Identifiers.h"

#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace orbscope;

struct Calls {
  std::vector<std::string> log;
  bool destroyed = false;
};

class RecordingHandler : public CDialogHandler {
 public:
  RecordingHandler(QDialog* window, Calls& calls) : calls_(calls), edit_(DlgItem<QLineEdit>(window, 1000)) {
    calls_.log.push_back("create");
  }
  ~RecordingHandler() override { calls_.destroyed = true; }
  bool Command(QDialog* window, int id, int code) override {
    calls_.log.push_back("command " + std::to_string(id) + " " + std::to_string(code));
    if (id == IDOK) EndDialog(window, 7);
    return id != IDCANCEL;  // leaves Cancel to the default processing
  }
  void Init(QDialog*) override {
    calls_.log.push_back(edit_ != nullptr ? "init with controls" : "init without controls");
  }

 private:
  Calls& calls_;
  QLineEdit* edit_;
};

class RecordingFactory : public CDialogFactory {
 public:
  explicit RecordingFactory(Calls& calls) : calls_(calls) {}
  std::unique_ptr<CDialogHandler> Create(QDialog* window) override {
    return std::make_unique<RecordingHandler>(window, calls_);
  }

 private:
  Calls& calls_;
};

void TestTemplate(QDialog& dialog) {
  auto* edit = new QLineEdit(&dialog);
  SetControlId(edit, 1000);
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  SetControlId(ok, IDOK);
  new QLabel(QStringLiteral("no identifier"), &dialog);
}

TEST(DialogFrameworkTest, HandlerLivesWithTheDialogAndGetsEveryCommand) {
  Calls calls;
  RecordingFactory factory(calls);
  {
    CHandlerDialog dialog(TestTemplate, factory, nullptr);
    ASSERT_EQ(calls.log.size(), 2u);
    EXPECT_EQ(calls.log[0], "create");
    EXPECT_EQ(calls.log[1], "init with controls");
    DlgItem<QLineEdit>(&dialog, 1000)->setText("x");  // programmatic: no notification
    emit DlgItem<QLineEdit>(&dialog, 1000)->textEdited(QStringLiteral("typed"));
    EXPECT_EQ(calls.log.back(), "command 1000 768") << "an edit notifies with EN_CHANGE";

    dialog.show();
    dialog.reject();  // Escape: the handler leaves Cancel alone, the dialog stays
    EXPECT_EQ(calls.log.back(), "command 2 0");
    EXPECT_TRUE(dialog.isVisible());
    DlgItem<QPushButton>(&dialog, IDOK)->click();
    EXPECT_EQ(calls.log.back(), "command 1 0");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 7);
    EXPECT_FALSE(calls.destroyed);
  }
  EXPECT_TRUE(calls.destroyed);
}

TEST(DialogFrameworkTest, ControlsAreFoundByIdentifier) {
  Calls calls;
  RecordingFactory factory(calls);
  CHandlerDialog dialog(TestTemplate, factory, nullptr);
  EXPECT_NE(GetDlgItem(&dialog, 1000), nullptr);
  EXPECT_EQ(GetDlgItem(&dialog, 1001), nullptr);
  EXPECT_EQ(DlgItem<QPushButton>(&dialog, 1000), nullptr) << "the control is not of that kind";
}

// Runs action on the modal dialog that the next exec() opens.
void OnNextModal(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* modal = nullptr;
    testsupport::WaitUntil([&] { return (modal = QApplication::activeModalWidget()) != nullptr; },
                           std::chrono::seconds(5));
    ASSERT_NE(modal, nullptr);
    action(modal);
  });
}

TEST(SelectModemDialogTest, OkTakesTheTypedAddress) {
  CTextBuf address("127.0.1.1");
  OnNextModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Select Modem");
    auto* edit = DlgItem<QLineEdit>(dialog, IDC_ADDRESS);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "127.0.1.1") << "the dialog shows the current address";
    edit->setText(QStringLiteral("127.0.7.9"));
    DlgItem<QPushButton>(dialog, IDOK)->click();
  });
  EXPECT_EQ(RunSelectModemDialog(nullptr, address), 1);
  EXPECT_STREQ(address.Text(), "127.0.7.9");
}

TEST(SelectModemDialogTest, CancelAndEscapeKeepTheAddress) {
  CTextBuf address("127.0.1.1");
  OnNextModal([](QWidget* dialog) {
    DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->setText(QStringLiteral("127.0.3.1"));
    DlgItem<QPushButton>(dialog, IDCANCEL)->click();
  });
  EXPECT_EQ(RunSelectModemDialog(nullptr, address), 0);
  EXPECT_STREQ(address.Text(), "127.0.1.1");
  OnNextModal([](QWidget* dialog) {
    DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->setText(QStringLiteral("127.0.3.1"));
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_EQ(RunSelectModemDialog(nullptr, address), 0);
  EXPECT_STREQ(address.Text(), "127.0.1.1");
}

TEST(SelectModemDialogTest, AnAddressOf255CharactersOrMoreIsNotTaken) {
  CTextBuf address("127.0.1.1");
  OnNextModal([](QWidget* dialog) {
    DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->setText(QString(255, 'a'));
    DlgItem<QPushButton>(dialog, IDOK)->click();
  });
  EXPECT_EQ(RunSelectModemDialog(nullptr, address), 1);
  EXPECT_STREQ(address.Text(), "127.0.1.1");
  OnNextModal([](QWidget* dialog) {
    DlgItem<QLineEdit>(dialog, IDC_ADDRESS)->setText(QString(254, 'b'));
    DlgItem<QPushButton>(dialog, IDOK)->click();
  });
  RunSelectModemDialog(nullptr, address);
  EXPECT_EQ(address.Length(), 254);
}

TEST(AboutDialogTest, CentreOverUsesIntegerHalves) {
  EXPECT_EQ(CentreOver(QRect(100, 50, 400, 300), QSize(200, 100)), QPoint(200, 150));
  EXPECT_EQ(CentreOver(QRect(0, 0, 401, 301), QSize(200, 100)), QPoint(100, 100));
  EXPECT_EQ(CentreOver(QRect(10, 10, 100, 100), QSize(201, 101)), QPoint(-40, 10)) << "a bigger dialog";
}

TEST(AboutDialogTest, ShowsItsTextsCentredOverTheParentAndEndsWithOkOrEscape) {
  QWidget parent;
  parent.setGeometry(100, 80, 600, 400);
  parent.show();
  CAboutDialog about(&parent);
  QStringList texts;
  for (const QLabel* label : about.findChildren<QLabel*>())
    if (!label->text().isEmpty()) texts << label->text();
  EXPECT_TRUE(texts.contains("Orbscope"));
  EXPECT_TRUE(texts.contains("The Generic IQ Monitor Program"));
  EXPECT_TRUE(texts.contains("03/05/2009"));
  EXPECT_TRUE(about.windowFlags() & Qt::FramelessWindowHint) << "no caption";

  QPoint shownAt;
  QTimer::singleShot(0, [&] {
    shownAt = about.frameGeometry().topLeft();
    DlgItem<QPushButton>(&about, IDOK)->click();
  });
  EXPECT_EQ(about.exec(), IDOK);
  EXPECT_EQ(shownAt, CentreOver(parent.frameGeometry(), about.frameGeometry().size()));

  QTimer::singleShot(0, [&] { about.reject(); });
  EXPECT_EQ(about.exec(), IDCANCEL);
}

}  // namespace
