#include "forms/Dialogs.h"
#include "forms/EntryBox.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using forms::EntryBox;
using Log = std::vector<std::string>;

// The box, another box and a button on an active form; the box's events
// are logged.
class EntryBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&form);
    for (QWidget* w : std::initializer_list<QWidget*>{box, other, button}) layout->addWidget(w);
    button->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(box, &EntryBox::GotFocus, [this] { log.push_back("GotFocus"); });
    QObject::connect(box, &EntryBox::LostFocus, [this] { log.push_back("LostFocus"); });
    QObject::connect(box, &EntryBox::KeyPress, [this](int& ascii) {
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
    box->setFocus(Qt::TabFocusReason);
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
  Log log;
  std::function<void(int&)> onKeyPress;
  std::function<void()> onValidate;
  bool refuse = false;
  int clicks = 0;
};

TEST_F(EntryBoxTest, ARefusedValueKeepsTheFocusHoweverItWasToLeave) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"another control takes it", [&] { other->setFocus(); }},
      {"Tab", [&] { QTest::keyClick(box, Qt::Key_Tab); }},
      {"MoveFocusTo", [&] { EXPECT_FALSE(box->MoveFocusTo(other)); }},
      {"a click on a button", [&] { Click(button); }},
  };
  refuse = true;
  for (const auto& [way, leave] : ways) {
    SCOPED_TRACE(way);
    log.clear();
    leave();
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(log, Log{"Validate"});
  }
  EXPECT_EQ(clicks, 0);  // the refused click never reached the button
  refuse = false;
  log.clear();
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(log, (Log{"Validate", "LostFocus"}));
}

TEST_F(EntryBoxTest, NoValidationWhileAHandlerMovesTheFocusNorForAControlWithoutIt) {
  // As a message box does while it shows.
  onValidate = [&] {
    button->setFocus();
    box->setFocus();
  };
  refuse = true;
  other->setFocus();
  EXPECT_TRUE(box->hasFocus());
  EXPECT_EQ(log, Log{"Validate"});
  EntryBox::SetCausesValidation(button, false);
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(log, (Log{"Validate", "LostFocus"}));
}

TEST_F(EntryBoxTest, AKeyThatMovedTheFocusEndsThere) {
  onKeyPress = [&](int& ascii) {
    if (ascii == 13 && box->MoveFocusTo(other)) ascii = 0;
  };
  int releases = 0;
  struct Counter : QObject {
    int& count;
    explicit Counter(int& c) : count(c) {}
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::KeyRelease && ++count < 0; }
  } counter(releases);
  other->installEventFilter(&counter);
  QTest::keyClick(form.windowHandle(), Qt::Key_Return);
  EXPECT_TRUE(other->hasFocus());
  EXPECT_EQ(releases, 0);
  QTest::keyClick(form.windowHandle(), Qt::Key_Return);  // the next one is the control's
  EXPECT_EQ(releases, 1);
}

TEST(ModalFormSeamTest, AQueuedFunctionFillsTheFormAndPressesItsButtons) {
  QDialog form;
  form.setObjectName("frmTest");
  forms::DialogSeam::ClearShown();
  forms::DialogSeam::QueueForm([](QDialog& f) { f.accept(); });
  forms::DialogSeam::QueueForm([](QDialog&) {});
  EXPECT_EQ(forms::ShowModal(form), QDialog::Accepted);
  // Left open, or nothing queued: cancelled.
  EXPECT_EQ(forms::ShowModal(form), QDialog::Rejected);
  EXPECT_EQ(forms::ShowModal(form), QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
  ASSERT_EQ(forms::DialogSeam::Shown().size(), 3u);
  EXPECT_EQ(forms::DialogSeam::Shown()[0].text, "frmTest");
}

}  // namespace
