#include "forms/AccessibleNames.h"
#include "forms/KeyedToolBar.h"

#include <QAccessible>
#include <QApplication>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QString NameOf(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); }

TEST(AccessibleNamesTest, ANameFromAToolTipFollowsItButAProgramsOwnNameStays) {
  forms::KeepControlsNamed();
  QWidget window;
  auto* bar = new forms::KeyedToolBar(&window);
  bar->AddButton("StopGo", forms::KeyedToolBar::Style::Default, "Stop Updates");
  auto* own = new QToolButton(&window);
  own->setToolTip("Tip");
  own->setAccessibleName("Own Name");
  window.show();
  QApplication::processEvents();
  EXPECT_EQ(NameOf(bar->ButtonWidget("StopGo")), "Stop Updates");
  bar->SetToolTip("StopGo", "Resume Updates");
  EXPECT_EQ(NameOf(bar->ButtonWidget("StopGo")), "Resume Updates");
  own->setToolTip("Other Tip");
  EXPECT_EQ(NameOf(own), "Own Name");
}

}  // namespace
