#include "forms/EntryBox.h"

#include "forms/VirtualKeys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QValidator>
#include <QWindow>

#include <algorithm>

namespace forms {
namespace {

constexpr const char* kCausesValidation = "CausesValidation";

// Focus moves that only switch windows or open a menu: the focus stays in
// the box as far as the form is concerned.
bool WindowLevelReason(Qt::FocusReason reason) {
  return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

// The control that a press on `w` gives the focus to, as the application
// chooses it: the first enabled one up the parents that takes the focus on
// a click; none when the press stays within the control that has it.
QWidget* FocusTaker(QWidget* w) {
  for (; w != nullptr; w = w->parentWidget()) {
    QWidget* f = w->focusProxy() != nullptr ? w->focusProxy() : w;
    if (w->isEnabled() && (f->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) return f;
    if (w->isWindow() || f->hasFocus()) return nullptr;
  }
  return nullptr;
}

// Sets a flag for the lifetime of the object.
class Raised {
 public:
  explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
  ~Raised() { flag_ = false; }
  Raised(const Raised&) = delete;
  Raised& operator=(const Raised&) = delete;

 private:
  bool& flag_;
};

}  // namespace

// What the user brings in keeps only the allowed characters; an edit that
// lengthens the text beyond MaxLength is refused.
class EntryBox::EditRules : public QValidator {
 public:
  explicit EditRules(EntryBox& box) : QValidator(&box), box_(box) {}
  State validate(QString& input, int& pos) const override {
    if (box_.userEdit_ && !box_.allowed_.isEmpty()) KeepAllowed(input, pos);
    const int max = box_.maxLength_;
    if (max > 0 && input.size() > max && input.size() > box_.shownText_.size()) return Invalid;
    return Acceptable;
  }

 private:
  // Only what the edit brought in is filtered: the part between what it
  // left of the text before and after it.
  void KeepAllowed(QString& input, int& pos) const {
    const QString& before = box_.shownText_;
    qsizetype head = 0;
    while (head < input.size() && head < before.size() && input[head] == before[head]) ++head;
    qsizetype tail = 0;
    while (tail < input.size() - head && tail < before.size() - head &&
           input[input.size() - 1 - tail] == before[before.size() - 1 - tail])
      ++tail;
    QString kept = input.left(head);
    qsizetype newPos = pos;
    for (qsizetype i = head; i < input.size() - tail; ++i) {
      if (box_.allowed_.contains(input[i]))
        kept += input[i];
      else if (i < pos)
        --newPos;
    }
    if (kept.size() == input.size() - tail) return;
    kept += input.right(tail);
    input = kept;
    pos = static_cast<int>(std::clamp<qsizetype>(newPos, 0, input.size()));
  }

  EntryBox& box_;
};

// The line edit takes the user's input for the lifetime of the object.
class EntryBox::UserEdit {
 public:
  explicit UserEdit(EntryBox& box) : box_(box), outer_(!box.userEdit_) { box_.userEdit_ = true; }
  ~UserEdit() {
    if (outer_) box_.userEdit_ = false;
  }
  UserEdit(const UserEdit&) = delete;
  UserEdit& operator=(const UserEdit&) = delete;

 private:
  EntryBox& box_;
  bool outer_;
};

EntryBox::EntryBox(QWidget* parent) : EntryBox(QString(), parent) {}

EntryBox::EntryBox(const QString& text, QWidget* parent) : QLineEdit(text, parent), shownText_(text) {
  setValidator(new EditRules(*this));
  connect(this, &QLineEdit::textChanged, this, [this](const QString& shown) { shownText_ = shown; });
}

EntryBox::~EntryBox() { WatchEvents(false); }

int EntryBox::SelStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

int EntryBox::SelLength() const { return static_cast<int>(selectedText().size()); }

void EntryBox::SetSelection(int start, int length) {
  if (length > 0)
    setSelection(start, length);
  else
    setCursorPosition(start);
}

void EntryBox::SetCausesValidation(QWidget* control, bool causes) { control->setProperty(kCausesValidation, causes); }

bool EntryBox::CausesValidation(const QWidget* control) {
  const QVariant value = control->property(kCausesValidation);
  return !value.isValid() || value.toBool();
}

void EntryBox::WatchEvents(bool on) {
  if (on == watching_ || QCoreApplication::instance() == nullptr) return;
  watching_ = on;
  // Installed last, the box sees the events before the filters that were
  // there first (the window's key preview among them).
  if (on)
    QCoreApplication::instance()->installEventFilter(this);
  else
    QCoreApplication::instance()->removeEventFilter(this);
}

bool EntryBox::MayLeave() {
  if (inFocusEvent_) return false;
  QPointer<EntryBox> self(this);
  bool cancel = false;
  {
    const Raised raised(inFocusEvent_);
    emit Validate(cancel);
    if (self == nullptr) return true;
  }
  return !cancel;
}

bool EntryBox::SendTab() {
  if (!hasFocus()) return false;
  focusNextPrevChild(true);
  return !hasFocus();
}

bool EntryBox::MoveFocusTo(QWidget* control) {
  if (!hasFocus()) {
    control->setFocus(Qt::TabFocusReason);
    return true;
  }
  if (CausesValidation(control)) {
    if (!MayLeave()) return false;
    validated_ = true;
  }
  control->setFocus(Qt::TabFocusReason);
  validated_ = false;
  return !hasFocus();
}

bool EntryBox::focusNextPrevChild(bool next) {
  if (hasFocus() && window()->isVisible()) {
    if (!MayLeave()) return true;
    validated_ = true;
  }
  const bool result = QLineEdit::focusNextPrevChild(next);
  validated_ = false;
  return result;
}

void EntryBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // However the focus came (the first control of a window gets it with the
  // window), clicks elsewhere are validated from now on.
  WatchEvents(true);
  if (WindowLevelReason(event->reason()) || refocusing_ || inFocusEvent_) return;
  QPointer<EntryBox> self(this);
  {
    const Raised raised(inFocusEvent_);
    emit GotFocus();
    if (self == nullptr) return;
  }
  // A click that gave the focus would put the caret where it landed and so
  // undo the selection GotFocus made.
  keepSelection_ = event->reason() == Qt::MouseFocusReason && hasSelectedText();
}

void EntryBox::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  keepSelection_ = false;
  if (WindowLevelReason(event->reason())) return;
  if (inFocusEvent_ || !window()->isVisible()) {
    validated_ = false;
    return;
  }
  QWidget* next = QApplication::focusWidget();
  const bool passed = validated_;
  validated_ = false;
  if (!passed && next != nullptr && next != this && CausesValidation(next) && isVisible() && isEnabled() &&
      !MayLeave()) {
    // The focus stays: it comes straight back, without GotFocus.
    const Raised raised(refocusing_);
    setFocus(Qt::OtherFocusReason);
    return;
  }
  if (swallowKey_ == 0 && !swallowRelease_) WatchEvents(false);
  const Raised raised(inFocusEvent_);
  emit LostFocus();
}

void EntryBox::keyPressEvent(QKeyEvent* event) {
  QPointer<EntryBox> self(this);
  const auto leftBox = [&] {
    if (self == nullptr) return true;
    if (hasFocus()) return false;
    // The key moved the focus away: it ends here.
    if (!event->isAutoRepeat()) {
      swallowKey_ = event->key();
      WatchEvents(false);
      WatchEvents(true);
    }
    event->accept();
    return true;
  };
  int keyCode = VirtualKeyFromQt(event->key());
  if (keyCode != 0) {
    emit KeyDown(keyCode, ShiftFromQt(event->modifiers()));
    if (leftBox()) return;
  }
  const int typed = KeyAsciiFromEvent(*event);
  if (typed == 0) {
    const UserEdit edit(*this);
    QLineEdit::keyPressEvent(event);
    return;
  }
  int keyAscii = typed;
  emit KeyPress(keyAscii);
  if (leftBox()) return;
  if (keyAscii == 0) {
    event->accept();
    return;
  }
  const UserEdit edit(*this);
  if (keyAscii != typed && keyAscii >= ' ') {
    // Another character instead of the one typed.
    insert(QString(QChar(keyAscii)));
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void EntryBox::mousePressEvent(QMouseEvent* event) {
  if (keepSelection_ && event->button() == Qt::LeftButton) {
    keepSelection_ = false;
    swallowingClick_ = true;
    event->accept();
    return;
  }
  keepSelection_ = false;
  const UserEdit edit(*this);
  QLineEdit::mousePressEvent(event);
}

void EntryBox::mouseMoveEvent(QMouseEvent* event) {
  if (swallowingClick_) {
    event->accept();
    return;
  }
  QLineEdit::mouseMoveEvent(event);
}

void EntryBox::mouseReleaseEvent(QMouseEvent* event) {
  if (swallowingClick_) {
    swallowingClick_ = false;
    event->accept();
    return;
  }
  // The middle button pastes the selection.
  const UserEdit edit(*this);
  QLineEdit::mouseReleaseEvent(event);
}

void EntryBox::contextMenuEvent(QContextMenuEvent* event) {
  // The menu's Paste runs while it is open.
  const UserEdit edit(*this);
  QLineEdit::contextMenuEvent(event);
}

void EntryBox::dropEvent(QDropEvent* event) {
  const UserEdit edit(*this);
  QLineEdit::dropEvent(event);
}

void EntryBox::inputMethodEvent(QInputMethodEvent* event) {
  const UserEdit edit(*this);
  QLineEdit::inputMethodEvent(event);
}

bool EntryBox::RefusePress(const QMouseEvent& press) {
  if (!hasFocus() || inFocusEvent_ || !isVisible()) return false;
  QWidget* form = window();
  QWidget* under = form->childAt(form->mapFromGlobal(press.globalPosition().toPoint()));
  QWidget* taker = FocusTaker(under != nullptr ? under : form);
  if (taker == nullptr || taker == this || !CausesValidation(taker)) return false;
  if (MayLeave()) {
    validated_ = true;
    return false;
  }
  // Refused: neither the press nor its release reaches the control.
  swallowRelease_ = QGuiApplication::mouseButtons() != Qt::NoButton;
  return true;
}

bool EntryBox::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (swallowKey_ == 0 || key->key() != swallowKey_) return false;
      if (!key->isAutoRepeat()) {
        swallowKey_ = 0;
        if (!hasFocus() && !swallowRelease_) WatchEvents(false);
      }
      return true;
    }
    case QEvent::KeyPress: {
      // Another key went down first: the swallowed release is not coming.
      const auto* key = static_cast<QKeyEvent*>(event);
      if (swallowKey_ != 0 && key->key() != swallowKey_) swallowKey_ = 0;
      return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      // Seen at the window, before the press gives the focus away.
      if (watched != window()->windowHandle()) return false;
      return RefusePress(*static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
      if (!swallowRelease_ || watched != window()->windowHandle()) return false;
      swallowRelease_ = false;
      if (!hasFocus() && swallowKey_ == 0) WatchEvents(false);
      return true;
    default:
      return false;
  }
}

}  // namespace forms
