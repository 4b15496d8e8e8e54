#pragma once

// A toolbar whose buttons are addressed by text keys, as the classic toolbar
// control's Buttons collection: normal buttons (which show pressed only when
// the program says so), check buttons, buttons with a drop-down menu of keyed
// items, and placeholders that hold another widget. Button presses report
// their position in twips relative to the toolbar.
//
// Screen readers see a button that runs a command as a push button (a menu
// button with a drop-down) and a button that holds a state (check buttons,
// and normal buttons the program shows pressed for a mode or a switch) as a
// check button, checked while it shows pressed.

#include <QIcon>
#include <QString>
#include <QToolBar>

#include <map>
#include <vector>

class QAction;
class QMenu;
class QToolButton;

namespace forms {

class KeyedToolBar : public QToolBar {
  Q_OBJECT

 public:
  enum class Style { Default, Check, DropDown, Placeholder };

  explicit KeyedToolBar(QWidget* parent = nullptr);
  ~KeyedToolBar() override;

  void AddButton(const QString& key, Style style, const QString& toolTip = QString(), const QIcon& icon = QIcon());
  void AddPlaceholder(const QString& key, int widthTwips);
  void AddSeparatorItem();
  // Puts a widget into a placeholder; the placeholder keeps its width unless
  // the widget needs more.
  void SetPlaceholderWidget(const QString& key, QWidget* widget);
  void AddButtonMenu(const QString& buttonKey, const QString& menuKey, const QString& text);

  bool Exists(const QString& key) const;
  QStringList Keys() const;
  // A normal button that the program shows pressed to tell a state.
  void SetHoldsState(const QString& key, bool holdsState);
  bool HoldsState(const QString& key) const;
  bool Pressed(const QString& key) const;
  void SetPressed(const QString& key, bool pressed);
  bool Enabled(const QString& key) const;
  void SetEnabled(const QString& key, bool enabled);
  QString ToolTip(const QString& key) const;
  void SetToolTip(const QString& key, const QString& text);
  void SetImage(const QString& key, const QIcon& icon);
  // A stable identity of the image last set, for callers that compare.
  qint64 ImageKey(const QString& key) const;

  // Button menu entries by key, or by 1-based position in the drop-down.
  QStringList ButtonMenuKeys(const QString& buttonKey) const;
  QString ButtonMenuText(const QString& buttonKey, const QString& menuKey) const;
  void SetButtonMenuText(const QString& buttonKey, const QString& menuKey, const QString& text);
  void SetButtonMenuText(const QString& buttonKey, int position, const QString& text);

  // Left, top, width and height of a button or placeholder within the
  // toolbar, in twips.
  QRect ButtonRectTwips(const QString& key) const;
  QWidget* ButtonWidget(const QString& key) const;

  // Tests drive the toolbar through these, as a user would.
  void ClickButton(const QString& key);
  void ClickButtonMenu(const QString& buttonKey, const QString& menuKey);

 signals:
  void ButtonClick(const QString& key);
  void ButtonMenuClick(const QString& buttonKey, const QString& menuKey);
  void MouseDown(int button, int shift, float xTwips, float yTwips);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QString key;
    Style style = Style::Default;
    QToolButton* button = nullptr;
    QWidget* placeholder = nullptr;
    QMenu* menu = nullptr;
    std::vector<QAction*> menuItems;
    qint64 imageKey = 0;
  };
  Entry* Find(const QString& key);
  const Entry* Find(const QString& key) const;
  QWidget* Widget(const Entry& entry) const;

  std::vector<Entry> entries_;
};

}  // namespace forms
