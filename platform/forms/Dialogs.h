#pragma once

// Message boxes, the common dialogs (save, open, colour) and the programs'
// own modal forms go through this one seam. In the programs they are Qt
// dialogs; a test installs the seam's queue, answers them in advance (or
// fills a form and presses its buttons) and reads back what was shown.
// Nothing else in the code opens a modal window directly. For unattended
// runs (a soak test), HALDEN_DIALOG_LOG makes message boxes answer
// themselves and log what they showed (see Dialogs.cpp).

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace forms {

// A dialog of fixed size: a title and a close box only.
inline constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                     Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowCloseButtonHint;

// Buttons and icons of a message box, and its answers. The values are those
// of the classic runtime (and of the Windows MB_ / ID constants).
enum MsgBoxStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
};

enum MsgBoxResult : int {
  vbOK = 1,
  vbCancel = 2,
  vbAbort = 3,
  vbRetry = 4,
  vbIgnore = 5,
  vbYes = 6,
  vbNo = 7,
};

// Shows a modal message box and returns the answer. May be called from any
// thread: from a worker thread the box runs on the GUI thread and the caller
// waits for the answer. parent defaults to the active window.
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = QString(), QWidget* parent = nullptr);

// The system beep.
void Beep();

// Unattended runs only: adds an event line to the message box log (nothing
// when HALDEN_DIALOG_LOG is not set). A soak counts what a program drew
// this way, from the program's own word.
void NoteUnattended(const QString& event);

struct FileDialogRequest {
  enum class Kind { Save, Open };
  Kind kind = Kind::Save;
  QString title;
  QString initialFolder;  // empty: the current folder
  QString fileName;       // initial file name, may be a pattern such as "*.TXT"
  QString filter;         // classic form: "Text|*.TXT|All|*.*"
  int filterIndex = 1;    // 1-based
  QString defaultExtension;
  bool confirmOverwrite = false;  // the caller asks itself when false
};

// Returns the chosen file name, or nothing when the user cancelled.
std::optional<QString> ShowFileDialog(const FileDialogRequest& request, QWidget* parent = nullptr);

// Colours are 0x00BBGGRR values. Returns the chosen colour, or nothing when
// the user cancelled.
std::optional<std::uint32_t> ShowColorDialog(const QString& title, std::uint32_t initialColor,
                                             QWidget* parent = nullptr);

// Shows one of the program's forms modally and returns its result
// (QDialog::Accepted or QDialog::Rejected) once it has closed.
int ShowModal(QDialog& form);

// What a dialog showed, as recorded by the seam.
struct ShownDialog {
  enum class Kind { MessageBox, FileDialog, ColorDialog, Form };
  Kind kind = Kind::MessageBox;
  QString text;  // message text, the file dialog's initial folder, or the form's object name
  QString title;
  int style = 0;  // message box buttons and icon
  FileDialogRequest file;
  std::uint32_t color = 0;
};

// The test side of the seam. While installed, no dialog is shown: each call
// takes the next queued answer of its kind (a message box with no queued
// answer gets its default button: OK, Yes, Abort or Retry; a file or colour
// dialog with none is cancelled) and records what it would have shown.
namespace DialogSeam {
void Install();
void Uninstall();
bool Installed();
void QueueMsgBoxAnswer(int answer);
void QueueFileAnswer(std::optional<QString> fileName);
void QueueColorAnswer(std::optional<std::uint32_t> color);
// The next modal form is shown without a modal loop and handed to `fill`,
// which types into it and presses its buttons as the user would; a form
// still open when `fill` returns is cancelled. A form with nothing queued
// is cancelled at once. Forms opened from a form take the next entries.
void QueueForm(std::function<void(QDialog& form)> fill);
std::vector<ShownDialog> Shown();
void ClearShown();
int BeepCount();
}  // namespace DialogSeam

}  // namespace forms
