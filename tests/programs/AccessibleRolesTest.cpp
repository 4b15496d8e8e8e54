// What a screen reader learns of specterm's main window beyond the names,
// read by walking the window's accessibility tree: toolbar buttons that run
// a command are push buttons and those that hold a state check buttons, the
// status panels give their texts as values, and the plot says what it
// shows. (The "Status" panel's announcements go out only where a screen
// reader is connected, which the offscreen platform never is.)

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/KeyedToolBar.h"
#include "forms/PictureBox.h"

#include <QAccessible>
#include <QApplication>
#include <QToolButton>

#include <functional>
#include <map>
#include <set>

namespace specterm::testing {
namespace {

// The tree's nodes by the object names of their object's parent and object
// ("tbMain/ZoomIn", "sbStatus/Status").
std::map<QString, QAccessibleInterface*> Walk(QWidget* window) {
  std::map<QString, QAccessibleInterface*> nodes;
  const std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
    for (int i = 0; i < node->childCount(); ++i) {
      QAccessibleInterface* child = node->child(i);
      if (child == nullptr) continue;
      if (const QObject* o = child->object(); o != nullptr && o->parent() != nullptr)
        nodes[o->parent()->objectName() + QLatin1Char('/') + o->objectName()] = child;
      visit(child);
    }
  };
  visit(QAccessible::queryAccessibleInterface(window));
  return nodes;
}

// The buttons the program shows pressed while a state holds.
const std::set<QString> kStateButtons = {"CurrentTrace", "PeakHold", "VideoAverage", "LastTrace", "StopGo",
                                         "ZoomWin",      "ZoomIn",   "ZoomOut",      "Pan",       "CursorDelta"};

class AccessibleRolesTest : public FormTest {
 protected:
  frmMain& Shown(frmMain& f) {
    f.show();
    QApplication::processEvents();
    return f;
  }
  QAccessibleInterface* Node(frmMain& f, const QString& path) {
    const auto nodes = Walk(&f);
    const auto it = nodes.find(path);
    return it == nodes.end() ? nullptr : it->second;
  }
};

TEST_F(AccessibleRolesTest, CommandsArePushButtonsAndStatesCheckButtons) {
  frmMain& f = Shown(Open());
  const auto nodes = Walk(&f);
  int buttons = 0;
  for (forms::KeyedToolBar* bar : {f.tbMain, f.tbCursors}) {
    for (const QString& key : bar->Keys()) {
      if (qobject_cast<QToolButton*>(bar->ButtonWidget(key)) == nullptr) continue;  // a placeholder
      const QString path = bar->objectName() + QLatin1Char('/') + key;
      const auto it = nodes.find(path);
      ASSERT_NE(it, nodes.end()) << path.toStdString();
      QAccessibleInterface* node = it->second;
      const bool holdsState = kStateButtons.contains(key);
      const QAccessible::Role expected = holdsState                            ? QAccessible::CheckBox
                                         : !bar->ButtonMenuKeys(key).isEmpty() ? QAccessible::ButtonMenu
                                                                               : QAccessible::PushButton;
      EXPECT_EQ(node->role(), expected) << path.toStdString();
      EXPECT_EQ(node->state().checkable, holdsState) << path.toStdString();
      EXPECT_EQ(node->state().checked, holdsState && bar->Pressed(key)) << path.toStdString();
      const QStringList actions = node->actionInterface()->actionNames();
      if (bar->Enabled(key)) {
        EXPECT_TRUE(actions.contains(holdsState ? QAccessibleActionInterface::toggleAction()
                                                : QAccessibleActionInterface::pressAction()))
            << path.toStdString();
      }
      ++buttons;
    }
  }
  EXPECT_EQ(buttons, 27);
}

TEST_F(AccessibleRolesTest, ActionsWorkAsClicksAndCheckedFollowsThePressedLook) {
  frmMain& f = Shown(Open());
  // A mode entered through its action shows checked; a command pressed
  // through its action leaves it and never shows checked.
  Node(f, "tbMain/ZoomIn")->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_TRUE(f.tbMain->Pressed("ZoomIn"));
  EXPECT_TRUE(Node(f, "tbMain/ZoomIn")->state().checked);
  Node(f, "tbMain/Select")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(Node(f, "tbMain/ZoomIn")->state().checked);
  EXPECT_FALSE(Node(f, "tbMain/Select")->state().checked);

  const bool peakHold = f.tbMain->Pressed("PeakHold");
  Node(f, "tbMain/PeakHold")->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  EXPECT_EQ(Node(f, "tbMain/PeakHold")->state().checked, !peakHold);
}

TEST_F(AccessibleRolesTest, StatusPanelsGiveTheirTextsAsValues) {
  frmMain& f = Shown(OpenWithCarriers());
  for (const QString& key : f.sbStatus->Keys()) {
    QAccessibleInterface* node = Node(f, "sbStatus/" + key);
    ASSERT_NE(node, nullptr) << key.toStdString();
    EXPECT_EQ(node->role(), QAccessible::StaticText);
    EXPECT_FALSE(node->text(QAccessible::Name).isEmpty()) << key.toStdString();
    EXPECT_EQ(node->text(QAccessible::Value), f.sbStatus->PanelText(key)) << key.toStdString();
  }
  EXPECT_EQ(Node(f, "sbStatus/CenterFreq")->text(QAccessible::Name), "Center Frequency");
  EXPECT_FALSE(Node(f, "sbStatus/CenterFreq")->text(QAccessible::Value).isEmpty());
}

TEST_F(AccessibleRolesTest, ThePlotDescribesTheViewAndTheSelectedPoint) {
  frmMain& f = Shown(OpenWithCarriers());
  QAccessibleInterface* plot = Node(f, f.picSpectrum->parent()->objectName() + "/picSpectrum");
  ASSERT_NE(plot, nullptr);
  EXPECT_EQ(plot->role(), QAccessible::Graphic);
  EXPECT_EQ(plot->text(QAccessible::Name), "Spectrum");
  const QString fitted = plot->text(QAccessible::Description);
  EXPECT_TRUE(fitted.startsWith("Center " + f.sbStatus->PanelText("CenterFreq") + ", span ")) << fitted.toStdString();
  EXPECT_TRUE(fitted.endsWith("; no point selected")) << fitted.toStdString();

  // The first point, as the status panels read it out.
  f.tbMain->ClickButton("FirstPoint");
  ASSERT_NE(f.sbStatus->PanelText("CurPoint"), "None");
  const QString selected = plot->text(QAccessible::Description);
  EXPECT_EQ(selected.section(';', 1),
            " selected point " + f.sbStatus->PanelText("CurPoint") + " of the " + f.sbStatus->PanelText("CurTrace") +
                " trace at " + f.sbStatus->PanelText("Frequency") + ", " + f.sbStatus->PanelText("Amplitude"));

  f.tbMain_ButtonMenuClick("FSpan", "FB5");
  EXPECT_NE(plot->text(QAccessible::Description).section(';', 0, 0), fitted.section(';', 0, 0));
}

}  // namespace
}  // namespace specterm::testing
