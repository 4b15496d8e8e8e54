#include "forms/UnattendedInput.h"

#include "forms/Dialogs.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace forms {
namespace {

constexpr int kPollMs = 100;

class InputScript : public QObject {
 public:
  InputScript(QString path, QObject* parent) : QObject(parent), path_(std::move(path)) {
    // What the file held before the program started was meant for another.
    offset_ = QFile(path_).size();
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &InputScript::Poll);
    // Once the event loop runs: the application is still being made here.
    QMetaObject::invokeMethod(
        &timer_, [this] { timer_.start(); }, Qt::QueuedConnection);
  }

 private:
  void Poll() {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset_)) return;
    const QByteArray more = file.readAll();
    offset_ += more.size();
    partial_ += more;
    for (qsizetype nl = partial_.indexOf('\n'); nl >= 0; nl = partial_.indexOf('\n')) {
      const QString line = QString::fromUtf8(partial_.left(nl)).simplified();
      partial_.remove(0, nl + 1);
      if (!line.isEmpty()) Play(line);
    }
  }

  static QWidget* Find(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (!top->isVisible()) continue;
      if (top->objectName() == name) return top;
      if (auto* found = top->findChild<QWidget*>(name)) return found;
    }
    return nullptr;
  }

  static Qt::MouseButton ButtonNamed(const QString& name) {
    if (name == QLatin1String("left")) return Qt::LeftButton;
    if (name == QLatin1String("middle")) return Qt::MiddleButton;
    if (name == QLatin1String("right")) return Qt::RightButton;
    return Qt::NoButton;
  }

  void Play(const QString& line) {
    const QStringList words = line.split(QLatin1Char(' '));
    const QString verb = words.value(0);
    const bool move = verb == QLatin1String("move");
    const qsizetype at = move ? 2 : 3;  // where the position starts
    QEvent::Type type = QEvent::MouseMove;
    if (verb == QLatin1String("press")) type = QEvent::MouseButtonPress;
    if (verb == QLatin1String("release")) type = QEvent::MouseButtonRelease;
    const Qt::MouseButton button = move ? Qt::NoButton : ButtonNamed(words.value(2));
    bool xOk = false;
    bool yOk = false;
    const double fx = words.value(at).toDouble(&xOk);
    const double fy = words.value(at + 1).toDouble(&yOk);
    QWidget* target = Find(words.value(1));
    if (words.size() != at + 2 || !xOk || !yOk || (type == QEvent::MouseMove && !move) ||
        (!move && button == Qt::NoButton) || target == nullptr || target->window()->windowHandle() == nullptr) {
      NoteUnattended(QStringLiteral("input not played: ") + line);
      return;
    }
    if (type == QEvent::MouseButtonPress) held_ |= button;
    if (type == QEvent::MouseButtonRelease) held_ &= ~Qt::MouseButtons(button);
    QWidget* top = target->window();
    const QPointF inTarget(fx * target->width(), fy * target->height());
    const QPointF inWindow = target->mapTo(top, inTarget);
    QMouseEvent event(type, inWindow, inWindow, target->mapToGlobal(inTarget), button, held_, Qt::NoModifier);
    QCoreApplication::sendEvent(top->windowHandle(), &event);
    NoteUnattended(QStringLiteral("input ") + line);
  }

  QString path_;
  qint64 offset_ = 0;
  QByteArray partial_;
  Qt::MouseButtons held_;
  QTimer timer_;
};

}  // namespace

void StartUnattendedInput() {
  const char* path = std::getenv("HALDEN_INPUT_SCRIPT");
  QCoreApplication* app = QCoreApplication::instance();
  if (path == nullptr || *path == '\0' || app == nullptr) return;
  new InputScript(QString::fromLocal8Bit(path), app);  // owned by the application
}

}  // namespace forms
