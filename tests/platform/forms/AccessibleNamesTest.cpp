#include "forms/AccessibleNames.h"
#include "forms/KeyedToolBar.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QString NameOf(QWidget* widget) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

class AccessibleNamesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { forms::KeepControlsNamed(); }
  void Show() {
    window.show();
    QApplication::processEvents();
  }
  QWidget window;
};

TEST_F(AccessibleNamesTest, IconButtonsTakeTheirToolTipAndFollowIt) {
  auto* bar = new forms::KeyedToolBar(&window);
  bar->AddButton("StopGo", forms::KeyedToolBar::Style::Default, "Stop Updates");
  auto* own = new QToolButton(&window);
  own->setToolTip("Tip");
  own->setAccessibleName("Own Name");
  Show();
  QWidget* button = bar->ButtonWidget("StopGo");
  EXPECT_EQ(NameOf(button), "Stop Updates");
  bar->SetToolTip("StopGo", "Resume Updates");
  EXPECT_EQ(NameOf(button), "Resume Updates") << "the name follows the tool tip";
  own->setToolTip("Other Tip");
  EXPECT_EQ(NameOf(own), "Own Name") << "a name the program set stays";
}

TEST_F(AccessibleNamesTest, TextBoxesAndListsTakeTheLabelBesideThem) {
  auto* layout = new QGridLayout(&window);
  auto* address = new QLineEdit(&window);
  auto* target = new QComboBox(&window);
  target->setEditable(true);
  target->addItems({"bulk:", "app:"});
  auto* move = new QComboBox(&window);
  move->addItems({"All Points", "Peak Points"});
  move->setToolTip("Select Move Type");
  layout->addWidget(new QLabel("Modem &IP Address:", &window), 0, 0);
  layout->addWidget(address, 0, 1);
  layout->addWidget(new QLabel("Remote Filename:", &window), 1, 0);
  layout->addWidget(target, 1, 1);
  layout->addWidget(move, 2, 1);
  Show();
  EXPECT_EQ(NameOf(address), "Modem IP Address");
  // On Linux Qt reports a list box's current entry as its name; the label
  // is the widget's accessible name.
  EXPECT_EQ(target->accessibleName(), "Remote Filename");
  EXPECT_EQ(NameOf(target->lineEdit()), "Remote Filename");
  EXPECT_EQ(move->accessibleName(), "Select Move Type") << "not its current entry, which is its value";
}

TEST_F(AccessibleNamesTest, HiddenControlsAreNamedWhenTheirWindowIsShown) {
  auto* hidden = new QToolButton(&window);
  hidden->setToolTip("Zoom In");
  hidden->hide();
  Show();
  EXPECT_EQ(NameOf(hidden), "Zoom In");
}

}  // namespace
