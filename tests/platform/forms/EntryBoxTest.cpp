#include "forms/Dialogs.h"
#include "forms/EntryBox.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using forms::EntryBox;

// A form with the box, another text box and a button; every event of the
// box is logged.
class EntryBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&form);
    for (QWidget* w : {static_cast<QWidget*>(box), static_cast<QWidget*>(other), static_cast<QWidget*>(button)})
      layout->addWidget(w);
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &EntryBox::GotFocus, [this] { log.push_back("GotFocus"); });
    QObject::connect(box, &EntryBox::LostFocus, [this] { log.push_back("LostFocus"); });
    QObject::connect(box, &EntryBox::KeyDown,
                     [this](int& code, int) { log.push_back("KeyDown " + std::to_string(code)); });
    QObject::connect(box, &EntryBox::KeyPress, [this](int& ascii) {
      log.push_back("KeyPress " + std::to_string(ascii));
      if (onKeyPress) onKeyPress(ascii);
    });
    QObject::connect(box, &EntryBox::Validate, [this](bool& cancel) {
      log.push_back("Validate");
      if (onValidate) onValidate();
      cancel = refuse;
    });
    QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    other->setFocus();
    box->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(box->hasFocus());
    log.clear();
  }
  // A real click, through the window as the platform delivers it.
  void Click(QWidget* w) {
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, w->mapTo(&form, w->rect().center()));
  }

  QWidget form;
  EntryBox* box = new EntryBox;
  EntryBox* other = new EntryBox;
  QPushButton* button = new QPushButton("OK");
  std::vector<std::string> log;
  std::function<void(int&)> onKeyPress;
  std::function<void()> onValidate;
  bool refuse = false;
  int clicks = 0;
};

TEST_F(EntryBoxTest, KeysArriveAsKeyDownThenKeyPressWhichMayRejectOrReplace) {
  onKeyPress = [](int& ascii) {
    if (ascii == '5') ascii = 0;
    if (ascii == 'a') ascii = 'A';
  };
  QTest::keyClicks(box, "15a");
  EXPECT_EQ(box->text(), "1A");
  const std::vector<std::string> expected = {"KeyDown 49",  "KeyPress 49", "KeyDown 53",
                                             "KeyPress 53", "KeyDown 65",  "KeyPress 97"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(box->SelStart(), 2);
  box->SetSelection(0, 1);
  EXPECT_EQ(box->SelText(), "1");
  EXPECT_EQ(box->SelLength(), 1);
}

TEST_F(EntryBoxTest, ARefusedValueKeepsTheFocusHoweverItWasToLeave) {
  struct Way {
    const char* name;
    std::function<void()> leave;
  };
  const Way ways[] = {
      {"another control takes it", [&] { other->setFocus(Qt::OtherFocusReason); }},
      {"Tab", [&] { QTest::keyClick(box, Qt::Key_Tab); }},
      {"SendTab", [&] { EXPECT_FALSE(box->SendTab()); }},
      {"MoveFocusTo", [&] { EXPECT_FALSE(box->MoveFocusTo(other)); }},
      {"a click on a button", [&] { Click(button); }},
  };
  refuse = true;
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    log.clear();
    way.leave();
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(log, std::vector<std::string>{"Validate"});
  }
  // The refused click never reached the button.
  EXPECT_EQ(clicks, 0);

  refuse = false;
  log.clear();
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->hasFocus());
  EXPECT_EQ(log, (std::vector<std::string>{"Validate", "LostFocus"}));
}

TEST_F(EntryBoxTest, AControlThatCausesNoValidationTakesTheFocusWithoutIt) {
  EntryBox::SetCausesValidation(button, false);
  refuse = true;
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(log, std::vector<std::string>{"LostFocus"});
}

TEST_F(EntryBoxTest, AHandlerThatMovesTheFocusIsNotEnteredAgain) {
  // As a message box does while it shows: the focus goes elsewhere and
  // comes back within the handler.
  int validations = 0;
  onValidate = [&] {
    ++validations;
    button->setFocus();
    box->setFocus();
  };
  refuse = true;
  other->setFocus();
  EXPECT_EQ(validations, 1);
  EXPECT_TRUE(box->hasFocus());
  EXPECT_EQ(log, std::vector<std::string>{"Validate"});
}

TEST_F(EntryBoxTest, SwitchingWindowsIsNoFocusChange) {
  QWidget second;
  second.show();
  second.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&second));
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_TRUE(box->hasFocus());
  EXPECT_TRUE(log.empty());
}

TEST_F(EntryBoxTest, MaxLengthLimitsTypingButNotTheProgramsText) {
  box->SetMaxLength(3);
  box->setText("12345");
  EXPECT_EQ(box->text(), "12345");
  box->selectAll();
  QTest::keyClicks(box, "98765");
  EXPECT_EQ(box->text(), "987");
  box->SetMaxLength(0);
  QTest::keyClicks(box, "6");
  EXPECT_EQ(box->text(), "9876");
}

TEST_F(EntryBoxTest, AKeyThatMovedTheFocusEndsThere) {
  onKeyPress = [&](int& ascii) {
    if (ascii != 13) return;
    ascii = 0;
    box->MoveFocusTo(other);
  };
  int releases = 0;
  struct Counter : QObject {
    int& count;
    explicit Counter(int& c) : count(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::KeyRelease) ++count;
      return false;
    }
  } counter(releases);
  other->installEventFilter(&counter);
  QTest::keyClick(form.windowHandle(), Qt::Key_Return);
  EXPECT_TRUE(other->hasFocus());
  EXPECT_EQ(releases, 0);
  // The next key is the control's own.
  QTest::keyClick(form.windowHandle(), Qt::Key_Return);
  EXPECT_EQ(releases, 1);
}

TEST(ModalFormSeamTest, AQueuedFunctionFillsTheFormAndPressesItsButtons) {
  QDialog form;
  form.setObjectName("frmTest");
  form.setWindowTitle("Test Form");
  auto* ok = new QPushButton("OK", &form);
  QObject::connect(ok, &QPushButton::clicked, &form, &QDialog::accept);
  forms::DialogSeam::ClearShown();
  bool shownWhileFilled = false;
  forms::DialogSeam::QueueForm([&](QDialog& f) {
    shownWhileFilled = f.isVisible();
    ok->click();
  });
  EXPECT_EQ(forms::ShowModal(form), QDialog::Accepted);
  EXPECT_TRUE(shownWhileFilled);
  // Nothing queued: cancelled.
  EXPECT_EQ(forms::ShowModal(form), QDialog::Rejected);
  // A form left open is cancelled.
  forms::DialogSeam::QueueForm([](QDialog&) {});
  EXPECT_EQ(forms::ShowModal(form), QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].kind, forms::ShownDialog::Kind::Form);
  EXPECT_EQ(shown[0].text, "frmTest");
  EXPECT_EQ(shown[0].title, "Test Form");
}

}  // namespace
