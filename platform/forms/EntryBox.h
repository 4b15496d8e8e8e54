#pragma once

// A text box with the classic text box's focus events, over a QLineEdit:
//   GotFocus      the box has taken the focus from another control
//   KeyDown       a key went down (virtual-key code and shift state)
//   KeyPress      a character is about to be typed (its code, KeyAscii);
//                 the handler may change it, or set it to 0 to reject it
//   Validate      the focus is about to leave for a control that causes
//                 validation; Cancel keeps the focus in the box
//   LostFocus     the focus has left
// Validation runs before a click on another control or a Tab moves the
// focus, so a refused value also refuses that click. Switching to another
// window, showing a message box or opening a menu is no focus change here.
// While a focus event is being handled, the box raises no other one, so a
// handler that shows a message while the focus is leaving is not entered
// again.
//
// A key whose press moved the focus away (Enter or Esc ending an entry)
// ends there: its release reaches neither the window nor the control that
// has the focus now.
//
// MaxLength limits what the user types or pastes, never a text the program
// sets, as the classic property does. Likewise the allowed characters: what
// the user brings in by any door (typing, also characters no key code
// names, pasting, dropping, composing) loses the characters outside the
// set; the rest is kept in order.

#include <QLineEdit>

class QWidget;

namespace forms {

class EntryBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit EntryBox(QWidget* parent = nullptr);
  explicit EntryBox(const QString& text, QWidget* parent = nullptr);
  ~EntryBox() override;

  // 0: no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length) { maxLength_ = length; }
  int SelStart() const;
  int SelLength() const;
  QString SelText() const { return selectedText(); }
  void SetSelection(int start, int length);
  // Empty: every character.
  void SetAllowedCharacters(const QString& allowed) { allowed_ = allowed; }
  const QString& AllowedCharacters() const { return allowed_; }

  // The focus moves on to the next control, as a Tab typed into the box;
  // or to a given control. Both pass Validate first; false when it kept the
  // focus here.
  bool SendTab();
  bool MoveFocusTo(QWidget* control);

  // A control with CausesValidation off (a dialog's Cancel button) takes the
  // focus without the box's Validate. On by default.
  static void SetCausesValidation(QWidget* control, bool causes);
  static bool CausesValidation(const QWidget* control);

 signals:
  void GotFocus();
  void KeyDown(int& KeyCode, int Shift);
  void KeyPress(int& KeyAscii);
  void Validate(bool& Cancel);
  void LostFocus();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class EditRules;
  class UserEdit;

  // Runs Validate; true when the focus may go.
  bool MayLeave();
  // A press on the window: Validate before the control clicked takes the
  // focus; true when the press is refused.
  bool RefusePress(const QMouseEvent& press);
  // The application's events pass the box while it has the focus or has a
  // release to swallow.
  void WatchEvents(bool on);

  int maxLength_ = 0;
  QString shownText_;  // the text before the edit under way
  QString allowed_;
  bool userEdit_ = false;       // the line edit is taking the user's input
  bool inFocusEvent_ = false;   // a focus event's handler is running
  bool validated_ = false;      // the focus change under way has passed Validate
  bool refocusing_ = false;     // the focus comes back after a refused change
  bool keepSelection_ = false;  // the click that gave the focus keeps GotFocus's selection
  bool swallowingClick_ = false;
  bool swallowRelease_ = false;  // the release of a refused press
  int swallowKey_ = 0;           // Qt key whose release is swallowed
  bool watching_ = false;
};

}  // namespace forms
