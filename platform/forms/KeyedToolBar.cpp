#include "forms/KeyedToolBar.h"

#include "base/Twips.h"
#include "forms/PictureBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>

namespace forms {

namespace {

// Set on the toolbar's buttons: whether the button holds a state.
constexpr const char* kHoldsState = "forms_holdsState";

// Every button is checkable underneath, so that the program can show any of
// them pressed; what a screen reader is told follows what the button is for.
class ToolButtonAccessible : public QAccessibleWidget {
 public:
  explicit ToolButtonAccessible(QToolButton* button) : QAccessibleWidget(button, QAccessible::PushButton) {}

  QAccessible::Role role() const override {
    if (HoldsState()) return QAccessible::CheckBox;
    return Button()->menu() != nullptr ? QAccessible::ButtonMenu : QAccessible::PushButton;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = HoldsState();
    s.checked = HoldsState() && Button()->isChecked();
    s.pressed = Button()->isDown();
    s.hasPopup = Button()->menu() != nullptr;
    return s;
  }
  QString text(QAccessible::Text t) const override {
    const QString text = QAccessibleWidget::text(t);
    // The tool tip is all an icon button says.
    return t == QAccessible::Name && text.isEmpty() ? widget()->toolTip() : text;
  }
  QStringList actionNames() const override {
    if (!widget()->isEnabled()) return {};
    QStringList names{HoldsState() ? toggleAction() : pressAction()};
    if (Button()->menu() != nullptr) names << showMenuAction();
    return names;
  }
  void doAction(const QString& name) override {
    if (!widget()->isEnabled()) return;
    if (name == pressAction() || name == toggleAction())
      Button()->click();
    else if (name == showMenuAction() && Button()->menu() != nullptr)
      Button()->showMenu();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QToolButton* Button() const { return static_cast<QToolButton*>(widget()); }
  bool HoldsState() const { return widget()->property(kHoldsState).toBool(); }
};

QAccessibleInterface* ToolButtonFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QToolButton") || !object->property(kHoldsState).isValid()) return nullptr;
  return new ToolButtonAccessible(static_cast<QToolButton*>(object));
}

}  // namespace

KeyedToolBar::KeyedToolBar(QWidget* parent) : QToolBar(parent) {
  static const bool factoryInstalled = (QAccessible::installFactory(ToolButtonFactory), true);
  Q_UNUSED(factoryInstalled);
  setMovable(false);
  setFloatable(false);
  setIconSize(QSize(16, 16));
  setToolButtonStyle(Qt::ToolButtonIconOnly);
}

KeyedToolBar::~KeyedToolBar() = default;

KeyedToolBar::Entry* KeyedToolBar::Find(const QString& key) {
  for (Entry& e : entries_)
    if (e.key.compare(key, Qt::CaseInsensitive) == 0) return &e;
  return nullptr;
}

const KeyedToolBar::Entry* KeyedToolBar::Find(const QString& key) const {
  for (const Entry& e : entries_)
    if (e.key.compare(key, Qt::CaseInsensitive) == 0) return &e;
  return nullptr;
}

QWidget* KeyedToolBar::Widget(const Entry& entry) const {
  return entry.button != nullptr ? static_cast<QWidget*>(entry.button) : entry.placeholder;
}

void KeyedToolBar::AddButton(const QString& key, Style style, const QString& toolTip, const QIcon& icon) {
  if (style == Style::Placeholder) {
    AddPlaceholder(key, 0);
    return;
  }
  Entry entry;
  entry.key = key;
  entry.style = style;
  auto* button = new QToolButton(this);
  button->setObjectName(key);
  button->setAutoRaise(true);
  button->setIcon(icon);
  button->setToolTip(toolTip);
  button->setFocusPolicy(Qt::NoFocus);
  // Every button can be shown pressed; only check buttons change that
  // themselves when clicked.
  button->setCheckable(true);
  button->setProperty(kHoldsState, style == Style::Check);
  if (style == Style::DropDown) {
    entry.menu = new QMenu(button);
    button->setMenu(entry.menu);
    button->setPopupMode(QToolButton::MenuButtonPopup);
  }
  button->installEventFilter(this);
  connect(button, &QToolButton::clicked, this, [this, key, style, button](bool checked) {
    if (style != Style::Check) {
      const QSignalBlocker blocker(button);
      button->setChecked(!checked);
    }
    emit ButtonClick(key);
  });
  entry.button = button;
  addWidget(button);
  entries_.push_back(std::move(entry));
}

void KeyedToolBar::AddPlaceholder(const QString& key, int widthTwips) {
  Entry entry;
  entry.key = key;
  entry.style = Style::Placeholder;
  auto* holder = new QWidget(this);
  holder->setObjectName(key);
  holder->setFixedWidth(static_cast<int>(TwipsToPixels(widthTwips) + 0.5));
  auto* layout = new QHBoxLayout(holder);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  holder->installEventFilter(this);
  entry.placeholder = holder;
  addWidget(holder);
  entries_.push_back(std::move(entry));
}

void KeyedToolBar::AddSeparatorItem() { addSeparator(); }

void KeyedToolBar::SetPlaceholderWidget(const QString& key, QWidget* widget) {
  Entry* e = Find(key);
  if (e == nullptr || e->placeholder == nullptr || widget == nullptr) return;
  widget->setParent(e->placeholder);
  e->placeholder->layout()->addWidget(widget);
  widget->show();
  // A widget that needs more room than the placeholder was given gets it.
  const int needed = widget->sizeHint().width();
  if (needed > e->placeholder->width()) e->placeholder->setFixedWidth(needed);
}

void KeyedToolBar::AddButtonMenu(const QString& buttonKey, const QString& menuKey, const QString& text) {
  Entry* e = Find(buttonKey);
  if (e == nullptr || e->menu == nullptr) return;
  QAction* action = e->menu->addAction(text);
  action->setObjectName(menuKey);
  connect(action, &QAction::triggered, this, [this, buttonKey, menuKey] { emit ButtonMenuClick(buttonKey, menuKey); });
  e->menuItems.push_back(action);
}

bool KeyedToolBar::Exists(const QString& key) const { return Find(key) != nullptr; }

QStringList KeyedToolBar::Keys() const {
  QStringList keys;
  for (const Entry& e : entries_) keys << e.key;
  return keys;
}

void KeyedToolBar::SetHoldsState(const QString& key, bool holdsState) {
  Entry* e = Find(key);
  if (e == nullptr || e->button == nullptr) return;
  e->button->setProperty(kHoldsState, holdsState);
}

bool KeyedToolBar::HoldsState(const QString& key) const {
  const Entry* e = Find(key);
  return e != nullptr && e->button != nullptr && e->button->property(kHoldsState).toBool();
}

bool KeyedToolBar::Pressed(const QString& key) const {
  const Entry* e = Find(key);
  return e != nullptr && e->button != nullptr && e->button->isChecked();
}

void KeyedToolBar::SetPressed(const QString& key, bool pressed) {
  Entry* e = Find(key);
  if (e == nullptr || e->button == nullptr) return;
  const QSignalBlocker blocker(e->button);
  e->button->setChecked(pressed);
}

bool KeyedToolBar::Enabled(const QString& key) const {
  const Entry* e = Find(key);
  return e != nullptr && Widget(*e)->isEnabled();
}

void KeyedToolBar::SetEnabled(const QString& key, bool enabled) {
  if (Entry* e = Find(key)) Widget(*e)->setEnabled(enabled);
}

QString KeyedToolBar::ToolTip(const QString& key) const {
  const Entry* e = Find(key);
  return e == nullptr ? QString() : Widget(*e)->toolTip();
}

void KeyedToolBar::SetToolTip(const QString& key, const QString& text) {
  if (Entry* e = Find(key)) Widget(*e)->setToolTip(text);
}

void KeyedToolBar::SetImage(const QString& key, const QIcon& icon) {
  Entry* e = Find(key);
  if (e == nullptr || e->button == nullptr) return;
  e->button->setIcon(icon);
  e->imageKey = icon.cacheKey();
}

qint64 KeyedToolBar::ImageKey(const QString& key) const {
  const Entry* e = Find(key);
  if (e == nullptr || e->button == nullptr) return 0;
  return e->imageKey != 0 ? e->imageKey : e->button->icon().cacheKey();
}

QStringList KeyedToolBar::ButtonMenuKeys(const QString& buttonKey) const {
  QStringList keys;
  if (const Entry* e = Find(buttonKey))
    for (const QAction* a : e->menuItems) keys << a->objectName();
  return keys;
}

QString KeyedToolBar::ButtonMenuText(const QString& buttonKey, const QString& menuKey) const {
  if (const Entry* e = Find(buttonKey))
    for (const QAction* a : e->menuItems)
      if (a->objectName() == menuKey) return a->text();
  return QString();
}

void KeyedToolBar::SetButtonMenuText(const QString& buttonKey, const QString& menuKey, const QString& text) {
  if (Entry* e = Find(buttonKey))
    for (QAction* a : e->menuItems)
      if (a->objectName() == menuKey) a->setText(text);
}

void KeyedToolBar::SetButtonMenuText(const QString& buttonKey, int position, const QString& text) {
  Entry* e = Find(buttonKey);
  if (e == nullptr || position < 1 || position > static_cast<int>(e->menuItems.size())) return;
  e->menuItems[static_cast<std::size_t>(position - 1)]->setText(text);
}

QRect KeyedToolBar::ButtonRectTwips(const QString& key) const {
  const Entry* e = Find(key);
  if (e == nullptr) return {};
  const QRect r = Widget(*e)->geometry();
  return {static_cast<int>(PixelsToTwips(r.x())), static_cast<int>(PixelsToTwips(r.y())),
          static_cast<int>(PixelsToTwips(r.width())), static_cast<int>(PixelsToTwips(r.height()))};
}

QWidget* KeyedToolBar::ButtonWidget(const QString& key) const {
  const Entry* e = Find(key);
  return e == nullptr ? nullptr : Widget(*e);
}

void KeyedToolBar::ClickButton(const QString& key) {
  Entry* e = Find(key);
  if (e == nullptr || e->button == nullptr || !e->button->isEnabled()) return;
  e->button->click();
}

void KeyedToolBar::ClickButtonMenu(const QString& buttonKey, const QString& menuKey) {
  Entry* e = Find(buttonKey);
  if (e == nullptr || !Widget(*e)->isEnabled()) return;
  for (QAction* a : e->menuItems)
    if (a->objectName() == menuKey && a->isEnabled()) a->trigger();
}

bool KeyedToolBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (widget != nullptr) {
      const QPointF inBar = widget->mapTo(this, mouse->position().toPoint());
      int button = 0;
      if (mouse->button() == Qt::LeftButton) button = vbLeftButton;
      if (mouse->button() == Qt::RightButton) button = vbRightButton;
      if (mouse->button() == Qt::MiddleButton) button = vbMiddleButton;
      int shift = 0;
      if (mouse->modifiers() & Qt::ShiftModifier) shift |= vbShiftMask;
      if (mouse->modifiers() & Qt::ControlModifier) shift |= vbCtrlMask;
      if (mouse->modifiers() & Qt::AltModifier) shift |= vbAltMask;
      emit MouseDown(button, shift, static_cast<float>(PixelsToTwips(inBar.x())),
                     static_cast<float>(PixelsToTwips(inBar.y())));
    }
  }
  return QToolBar::eventFilter(watched, event);
}

}  // namespace forms
