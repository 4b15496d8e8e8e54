#include "interaction/KeyboardHelp.h"

#include "forms/VirtualKeys.h"

#include <QAction>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <set>

namespace specterm {
namespace {

constexpr const char* kHelpTitle = "Keyboard and Mouse - Halden Spectrum Analyzer";
constexpr QSize kHelpSize(640, 560);

// The group of a menu item, by its name; the first prefix that fits wins,
// and an item of no prefix takes its top menu's group.
struct MenuGroup {
  const char* prefix;
  HelpGroup group;
};
constexpr std::array<MenuGroup, 16> kMenuGroups = {{
    {"mnuViewZoomCursors", HelpGroup::Cursors},
    {"mnuViewCursor", HelpGroup::Cursors},
    {"mnuViewCopy", HelpGroup::Files},
    {"mnuViewFirstPoint", HelpGroup::Selection},
    {"mnuViewNextPoint", HelpGroup::Selection},
    {"mnuViewPreviousPoint", HelpGroup::Selection},
    {"mnuViewLastPoint", HelpGroup::Selection},
    {"mnuViewCurPoint", HelpGroup::Selection},
    {"mnuViewPeakPoint", HelpGroup::Selection},
    {"mnuViewThreshold", HelpGroup::Selection},
    {"mnuView", HelpGroup::ZoomPan},
    {"mnuTools", HelpGroup::Traces},
    {"mnuOptions", HelpGroup::Traces},
    {"mnuComm", HelpGroup::Updates},
    {"mnuFile", HelpGroup::Files},
    {"mnuHelp", HelpGroup::Help},
}};

HelpGroup GroupOf(const QString& name) {
  for (const MenuGroup& g : kMenuGroups)
    if (name.startsWith(QLatin1String(g.prefix))) return g.group;
  return HelpGroup::Help;
}

// A caption as the menu shows it: "&" marks the access key, "&&" is "&".
QString Plain(QString caption) {
  caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  caption.remove(QLatin1Char('&'));
  return caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

void AddMenuRows(const QMenu& menu, const QString& path, std::vector<HelpRow>& rows) {
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) continue;
    const QString caption = path + QStringLiteral(" > ") + Plain(action->text());
    if (action->menu() != nullptr) {
      AddMenuRows(*action->menu(), caption, rows);
      continue;
    }
    for (const QKeySequence& key : action->shortcuts())
      rows.push_back({GroupOf(action->objectName()), key.toString(QKeySequence::NativeText), caption});
  }
}

QString KeyName(const KeyBinding& key) {
  int modifiers = 0;
  if (key.Modifiers == KeyModifiers::Ctrl) modifiers = Qt::CTRL;
  if (key.Modifiers == KeyModifiers::Alt) modifiers = Qt::ALT;
  return QKeySequence(forms::QtKeyFromVirtual(key.KeyCode) | modifiers).toString(QKeySequence::NativeText);
}

// Shows the rows that hold the text, and the groups that keep one.
void Filter(QTreeWidget& tree, const QString& text) {
  for (int g = 0; g < tree.topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree.topLevelItem(g);
    bool any = false;
    for (int r = 0; r < group->childCount(); ++r) {
      QTreeWidgetItem* row = group->child(r);
      const bool match = text.isEmpty() || row->text(0).contains(text, Qt::CaseInsensitive) ||
                         row->text(1).contains(text, Qt::CaseInsensitive) ||
                         group->text(0).contains(text, Qt::CaseInsensitive);
      row->setHidden(!match);
      any = any || match;
    }
    group->setHidden(!any);
  }
}

}  // namespace

std::vector<HelpRow> KeyboardHelpRows(const QMenuBar& menus) {
  std::vector<HelpRow> rows;
  for (QAction* top : menus.actions())
    if (top->menu() != nullptr) AddMenuRows(*top->menu(), Plain(top->text()), rows);
  for (const KeyBinding& key : ViewKeyBindings())
    rows.push_back({key.Group, KeyName(key), QString::fromLatin1(key.What)});
  // A gesture that does the same in several modes is one row.
  std::set<std::pair<QString, QString>> seen;
  for (const MouseBinding& m : MouseBindings()) {
    const QString gesture = QString::fromLatin1(m.Gesture);
    const QString what = QString::fromLatin1(m.What);
    if (seen.insert({gesture, what}).second) rows.push_back({m.Group, gesture, what});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const HelpRow& a, const HelpRow& b) { return a.Group < b.Group; });
  return rows;
}

KeyboardHelp::KeyboardHelp(QWidget& window, const QMenuBar& menus) : window_(window), menus_(menus) {}

void KeyboardHelp::mnuHelpKeys_Click() {
  if (help_ == nullptr) {
    auto* help = new QWidget(&window_, Qt::Window);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->setObjectName(QStringLiteral("frmKeys"));
    help->setWindowTitle(QString::fromLatin1(kHelpTitle));
    help->resize(kHelpSize);
    auto* search = new QLineEdit(help);
    search->setObjectName(QStringLiteral("txtSearch"));
    search->setPlaceholderText(QStringLiteral("Type to search"));
    search->setAccessibleName(QStringLiteral("Search"));
    search->setClearButtonEnabled(true);
    auto* tree = new QTreeWidget(help);
    tree->setObjectName(QStringLiteral("tvKeys"));
    tree->setAccessibleName(QStringLiteral("Keys and Mouse"));
    tree->setHeaderLabels({QStringLiteral("Keys"), QStringLiteral("Action")});
    tree->setRootIsDecorated(false);
    tree->setFocusPolicy(Qt::NoFocus);
    std::array<QTreeWidgetItem*, kHelpGroupCount> groups{};
    for (const HelpRow& row : KeyboardHelpRows(menus_)) {
      QTreeWidgetItem*& group = groups[static_cast<std::size_t>(row.Group)];
      if (group == nullptr) {
        group = new QTreeWidgetItem(tree, {QString::fromLatin1(HelpGroupTitle(row.Group))});
        QFont bold = group->font(0);
        bold.setBold(true);
        group->setFont(0, bold);
        group->setFirstColumnSpanned(true);
      }
      new QTreeWidgetItem(group, {row.Keys, row.What});
    }
    tree->expandAll();
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    auto* layout = new QVBoxLayout(help);
    layout->addWidget(search);
    layout->addWidget(tree);
    QObject::connect(search, &QLineEdit::textChanged, tree, [tree](const QString& text) { Filter(*tree, text); });
    // Esc closes it, as it would a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), help);
    QObject::connect(close, &QShortcut::activated, help, &QWidget::close);
    search->setFocus();
    help_ = help;
  }
  help_->show();
  help_->raise();
  help_->activateWindow();
}

}  // namespace specterm
