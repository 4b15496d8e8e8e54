#include "forms/Dialogs.h"

#include "forms/UnattendedInput.h"

#include <QApplication>
#include <QColorDialog>
#include <QDateTime>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace forms {
namespace {

struct SeamState {
  std::mutex mutex;
  bool installed = false;
  std::deque<int> msgBoxAnswers;
  // (chosen, file name): a pair rather than an optional, which GCC 12
  // misreads as used uninitialised.
  std::deque<std::pair<bool, QString>> fileAnswers;
  std::deque<std::optional<std::uint32_t>> colorAnswers;
  std::deque<std::function<void(QDialog&)>> forms;
  std::vector<ShownDialog> shown;
  int beeps = 0;
};

SeamState& Seam() {
  static SeamState state;
  return state;
}

int DefaultAnswer(int style) {
  switch (style & 7) {
    case vbOKCancel:
      return vbOK;
    case vbAbortRetryIgnore:
      return vbAbort;
    case vbYesNoCancel:
    case vbYesNo:
      return vbYes;
    case vbRetryCancel:
      return vbRetry;
    default:
      return vbOK;
  }
}

// Runs f on the GUI thread and returns its result; the caller waits.
template <typename F>
auto OnGuiThread(F f) -> decltype(f()) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() == app->thread()) return f();
  decltype(f()) result{};
  QMetaObject::invokeMethod(
      app, [&] { result = f(); }, Qt::BlockingQueuedConnection);
  return result;
}

QRgb ToQRgb(std::uint32_t bgr) { return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

std::uint32_t FromQColor(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

// Unattended runs (a soak test, a demo): with HALDEN_DIALOG_LOG naming a
// file, each message box is still shown, but answered with its default
// button after HALDEN_DIALOG_ANSWER_MS milliseconds (1000 unless given), as
// a user would; its opening and closing are logged to the file with the
// number of boxes open, so that boxes piling up can be seen from outside.
// File and colour dialogs are cancelled at once.
struct Unattended {
  QString logPath;
  int answerMs = 1000;
  int open = 0;  // boxes open now (GUI thread only)
};

Unattended* UnattendedMode() {
  static Unattended* mode = []() -> Unattended* {
    const char* log = std::getenv("HALDEN_DIALOG_LOG");
    if (log == nullptr || *log == '\0') return nullptr;
    auto* m = new Unattended;
    m->logPath = QString::fromLocal8Bit(log);
    if (const char* ms = std::getenv("HALDEN_DIALOG_ANSWER_MS")) m->answerMs = std::max(0, std::atoi(ms));
    return m;
  }();
  return mode;
}

void LogUnattended(const QString& event) {
  const Unattended* mode = UnattendedMode();
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  if (std::FILE* f = std::fopen(mode->logPath.toLocal8Bit().constData(), "a")) {
    QString line = QString::number(QDateTime::currentMSecsSinceEpoch()) + " " + event;
    line.replace('\n', "\\n");
    std::fprintf(f, "%s\n", line.toUtf8().constData());
    std::fclose(f);
  }
}

int ShowMessageBox(const QString& prompt, int style, const QString& title, QWidget* parent) {
  if (parent == nullptr) parent = QApplication::activeWindow();
  QMessageBox box(parent);
  box.setText(prompt);
  box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
  switch (style & 0x70) {
    case vbCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case vbQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case vbExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case vbInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  struct Choice {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Choice> choices;
  switch (style & 7) {
    case vbOKCancel:
      choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
      break;
    case vbAbortRetryIgnore:
      choices = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
      break;
    case vbYesNoCancel:
      choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
      break;
    case vbYesNo:
      choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
      break;
    case vbRetryCancel:
      choices = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
      break;
    default:
      choices = {{QMessageBox::Ok, vbOK}};
      break;
  }
  QMessageBox::StandardButtons buttons;
  for (const Choice& c : choices) buttons |= c.button;
  box.setStandardButtons(buttons);
  box.setDefaultButton(choices.front().button);
  Unattended* unattended = UnattendedMode();
  if (unattended != nullptr) {
    ++unattended->open;
    LogUnattended(QStringLiteral("open %1 \"%2\" \"%3\"").arg(unattended->open).arg(box.windowTitle(), prompt));
    QTimer::singleShot(unattended->answerMs, &box, [&box] { box.defaultButton()->click(); });
  }
  const int pressed = box.exec();
  if (unattended != nullptr) {
    --unattended->open;
    LogUnattended(QStringLiteral("close %1 \"%2\"").arg(unattended->open).arg(box.windowTitle()));
  }
  for (const Choice& c : choices)
    if (pressed == c.button) return c.answer;
  // Closed with Escape or the close box: the cancelling answer.
  switch (style & 7) {
    case vbYesNo:
      return vbNo;
    case vbOKOnly:
      return vbOK;
    default:
      return vbCancel;
  }
}

// "Text files|*.TXT|All files|*.*" becomes "Text files (*.TXT);;All files (*.*)".
QStringList QtFilters(const QString& classic) {
  QStringList out;
  const QStringList parts = classic.split('|');
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return out;
}

}  // namespace

int MsgBox(const QString& prompt, int buttons, const QString& title, QWidget* parent) {
  {
    SeamState& seam = Seam();
    std::lock_guard lock(seam.mutex);
    if (seam.installed) {
      ShownDialog shown;
      shown.kind = ShownDialog::Kind::MessageBox;
      shown.text = prompt;
      shown.title = title;
      shown.style = buttons;
      seam.shown.push_back(shown);
      if (seam.msgBoxAnswers.empty()) return DefaultAnswer(buttons);
      const int answer = seam.msgBoxAnswers.front();
      seam.msgBoxAnswers.pop_front();
      return answer;
    }
  }
  if (QApplication::instance() == nullptr || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    // No GUI at all (a command-line tool): say it on standard error.
    qWarning("%s: %s", qPrintable(title), qPrintable(prompt));
    return DefaultAnswer(buttons);
  }
  return OnGuiThread([&] { return ShowMessageBox(prompt, buttons, title, parent); });
}

void Beep() {
  {
    SeamState& seam = Seam();
    std::lock_guard lock(seam.mutex);
    ++seam.beeps;
    if (seam.installed) return;
  }
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr)
    OnGuiThread([] {
      QApplication::beep();
      return 0;
    });
}

std::optional<QString> ShowFileDialog(const FileDialogRequest& request, QWidget* parent) {
  {
    SeamState& seam = Seam();
    std::lock_guard lock(seam.mutex);
    if (seam.installed) {
      ShownDialog shown;
      shown.kind = ShownDialog::Kind::FileDialog;
      shown.text = request.initialFolder;
      shown.title = request.title;
      shown.file = request;
      seam.shown.push_back(shown);
      if (seam.fileAnswers.empty()) return std::nullopt;
      const auto [chosen, fileName] = seam.fileAnswers.front();
      seam.fileAnswers.pop_front();
      if (!chosen) return std::nullopt;
      return fileName;
    }
  }
  if (UnattendedMode() != nullptr) {
    LogUnattended(QStringLiteral("cancelled file dialog \"%1\"").arg(request.title));
    return std::nullopt;
  }
  return OnGuiThread([&]() -> std::optional<QString> {
    QFileDialog dialog(parent ? parent : QApplication::activeWindow(), request.title, request.initialFolder);
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = QtFilters(request.filter);
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
      const int index = request.filterIndex - 1;
      if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
    }
    if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.fileName.isEmpty() && !request.fileName.contains('*')) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
  });
}

std::optional<std::uint32_t> ShowColorDialog(const QString& title, std::uint32_t initialColor, QWidget* parent) {
  {
    SeamState& seam = Seam();
    std::lock_guard lock(seam.mutex);
    if (seam.installed) {
      ShownDialog shown;
      shown.kind = ShownDialog::Kind::ColorDialog;
      shown.title = title;
      shown.color = initialColor;
      seam.shown.push_back(shown);
      if (seam.colorAnswers.empty()) return std::nullopt;
      std::optional<std::uint32_t> answer = seam.colorAnswers.front();
      seam.colorAnswers.pop_front();
      return answer;
    }
  }
  if (UnattendedMode() != nullptr) {
    LogUnattended(QStringLiteral("cancelled colour dialog \"%1\"").arg(title));
    return std::nullopt;
  }
  return OnGuiThread([&]() -> std::optional<std::uint32_t> {
    const QColor chosen = QColorDialog::getColor(QColor::fromRgb(ToQRgb(initialColor)),
                                                 parent ? parent : QApplication::activeWindow(), title);
    if (!chosen.isValid()) return std::nullopt;
    return FromQColor(chosen);
  });
}

int ShowModal(QDialog& form) {
  std::function<void(QDialog&)> fill;
  bool installed = false;
  {
    SeamState& seam = Seam();
    std::lock_guard lock(seam.mutex);
    installed = seam.installed;
  }
  // Not under the lock: the form may show message boxes and forms itself.
  if (!installed) return form.exec();
  {
    SeamState& seam = Seam();
    std::lock_guard lock(seam.mutex);
    ShownDialog shown;
    shown.kind = ShownDialog::Kind::Form;
    shown.text = form.objectName();
    shown.title = form.windowTitle();
    seam.shown.push_back(shown);
    if (!seam.forms.empty()) {
      fill = std::move(seam.forms.front());
      seam.forms.pop_front();
    }
  }
  form.setResult(QDialog::Rejected);
  if (fill) {
    form.show();
    fill(form);
  }
  if (form.isVisible()) form.reject();
  return form.result();
}

void NoteUnattended(const QString& event) {
  if (UnattendedMode() != nullptr) LogUnattended(event);
}

namespace DialogSeam {

void Install() {
  std::lock_guard lock(Seam().mutex);
  Seam().installed = true;
}

void Uninstall() {
  SeamState& seam = Seam();
  std::lock_guard lock(seam.mutex);
  seam.installed = false;
  seam.msgBoxAnswers.clear();
  seam.fileAnswers.clear();
  seam.colorAnswers.clear();
  seam.forms.clear();
  seam.shown.clear();
  seam.beeps = 0;
}

bool Installed() {
  std::lock_guard lock(Seam().mutex);
  return Seam().installed;
}

void QueueMsgBoxAnswer(int answer) {
  std::lock_guard lock(Seam().mutex);
  Seam().msgBoxAnswers.push_back(answer);
}

void QueueFileAnswer(std::optional<QString> fileName) {
  std::lock_guard lock(Seam().mutex);
  Seam().fileAnswers.emplace_back(fileName.has_value(), fileName.value_or(QString()));
}

void QueueColorAnswer(std::optional<std::uint32_t> color) {
  std::lock_guard lock(Seam().mutex);
  Seam().colorAnswers.push_back(color);
}

void QueueForm(std::function<void(QDialog& form)> fill) {
  std::lock_guard lock(Seam().mutex);
  Seam().forms.push_back(std::move(fill));
}

std::vector<ShownDialog> Shown() {
  std::lock_guard lock(Seam().mutex);
  return Seam().shown;
}

void ClearShown() {
  std::lock_guard lock(Seam().mutex);
  Seam().shown.clear();
  Seam().beeps = 0;
}

int BeepCount() {
  std::lock_guard lock(Seam().mutex);
  return Seam().beeps;
}

}  // namespace DialogSeam
}  // namespace forms

namespace {
// Unattended input starts with the application object, before any window.
void StartUnattendedInputHook() { forms::StartUnattendedInput(); }
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(StartUnattendedInputHook)
