// Help > Keyboard and Mouse: the window lists every shortcut of the menus,
// every key the window previews and every mouse gesture of the plot, and
// narrows to what is typed.

#include "FormFixture.h"
#include "interaction/InputBindings.h"
#include "interaction/KeyboardHelp.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>

#include <set>

namespace specterm {
namespace {

class KeyboardHelpTest : public testing::FormTest {
 protected:
  QTreeWidget& OpenHelp(frmMain& f) {
    f.mnuHelpKeys->trigger();
    QWidget* help = f.KeysHelp().HelpWindow();
    EXPECT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->windowTitle().startsWith("Keyboard")) << help->windowTitle().toStdString();
    return *help->findChild<QTreeWidget*>("tvKeys");
  }
  // The (keys, action) pairs the tree shows.
  static std::set<std::pair<QString, QString>> ShownRows(const QTreeWidget& tree) {
    std::set<std::pair<QString, QString>> rows;
    for (int g = 0; g < tree.topLevelItemCount(); ++g) {
      const QTreeWidgetItem* group = tree.topLevelItem(g);
      if (group->isHidden()) continue;
      for (int r = 0; r < group->childCount(); ++r)
        if (!group->child(r)->isHidden()) rows.insert({group->child(r)->text(0), group->child(r)->text(1)});
    }
    return rows;
  }
  static void MenuShortcuts(const QMenu& menu, std::vector<std::pair<QString, QString>>& out) {
    for (QAction* action : menu.actions()) {
      if (action->menu() != nullptr) MenuShortcuts(*action->menu(), out);
      for (const QKeySequence& key : action->shortcuts())
        out.push_back({key.toString(QKeySequence::NativeText), QString(action->text()).remove('&')});
    }
  }
};

TEST_F(KeyboardHelpTest, ListsEveryMenuShortcutEveryPreviewedKeyAndEveryMouseGesture) {
  frmMain& f = Open();
  const auto rows = ShownRows(OpenHelp(f));
  std::vector<std::pair<QString, QString>> shortcuts;
  for (QAction* top : f.menuBar()->actions())
    if (top->menu() != nullptr) MenuShortcuts(*top->menu(), shortcuts);
  for (const auto& shortcut : shortcuts) {
    // Named copies: a lambda cannot capture structured bindings under clang 14.
    const QString& keys = shortcut.first;
    const QString& caption = shortcut.second;
    const bool listed = std::any_of(rows.begin(), rows.end(), [&](const auto& row) {
      return row.first == keys && row.second.endsWith(" > " + caption);
    });
    EXPECT_TRUE(listed) << keys.toStdString() << " " << caption.toStdString();
  }
  for (const KeyBinding& key : ViewKeyBindings())
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const auto& row) { return row.second == key.What; }))
        << key.What;
  for (const MouseBinding& m : MouseBindings())
    EXPECT_TRUE(rows.count({QString::fromLatin1(m.Gesture), QString::fromLatin1(m.What)})) << m.Gesture;
  // The same rows as the list the window is made from, none twice.
  EXPECT_EQ(rows.size(), KeyboardHelpRows(*f.menuBar()).size());
}

TEST_F(KeyboardHelpTest, TypingNarrowsTheListAndAnotherOpeningReusesTheWindow) {
  frmMain& f = Open();
  QTreeWidget& tree = OpenHelp(f);
  auto* search = f.KeysHelp().HelpWindow()->findChild<QLineEdit*>("txtSearch");
  ASSERT_NE(search, nullptr);
  QTest::keyClicks(search, "CURSOR");
  const auto rows = ShownRows(tree);
  EXPECT_TRUE(rows.count({"F1", "View > Set Cursor 1 Location"}));
  for (const auto& [keys, what] : rows)
    EXPECT_TRUE(what.contains("cursor", Qt::CaseInsensitive) || keys.contains("cursor", Qt::CaseInsensitive))
        << what.toStdString();
  search->clear();
  EXPECT_GT(ShownRows(tree).size(), rows.size());
  QWidget* first = f.KeysHelp().HelpWindow();
  f.mnuHelpKeys->trigger();
  EXPECT_EQ(f.KeysHelp().HelpWindow(), first);
}

}  // namespace
}  // namespace specterm
