#include "forms/KeyedStatusBar.h"

#include "base/Twips.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

#include <functional>

namespace forms {

// One sunken panel: picture on the left, then the text, elided when the
// panel is too narrow (the full text is then in the tool tip).
class StatusPanel : public QWidget {
 public:
  StatusPanel(const QString& key, const QString& description, QWidget* parent)
      : QWidget(parent), key_(key), description_(description) {
    setObjectName(key);
    setToolTip(description);
  }

  const QString& Key() const { return key_; }
  const QString& Description() const { return description_; }
  const QString& Text() const { return text_; }
  void SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    UpdateToolTip();
    update();
    if (announced_) {
      QAccessibleValueChangeEvent event(this, text_);
      QAccessible::updateAccessibility(&event);
    }
  }
  void SetAnnounced(bool announced) { announced_ = announced; }
  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
  }
  int WidthTwips() const { return widthTwips_; }
  void SetDescription(const QString& description) {
    description_ = description;
    UpdateToolTip();
  }
  void SetTextInset(int pixels) {
    // Progress reports set it at every percent; most change nothing.
    if (std::max(0, pixels) == textInset_) return;
    textInset_ = std::max(0, pixels);
    UpdateToolTip();
    update();
  }
  void SetWidthTwips(int twips) { widthTwips_ = std::max(0, twips); }
  bool Covered() const { return covered_; }
  void SetCovered(bool covered) {
    if (covered == covered_) return;
    covered_ = covered;
    update();
  }

  std::function<void(const QString&)> onClick;
  std::function<void(const QString&)> onDblClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.frameShape = QFrame::Panel;
    frame.state |= QStyle::State_Sunken;
    frame.lineWidth = 1;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);
    QRect inner = rect().adjusted(3, 1, -3 - textInset_, -1);
    if (!picture_.isNull()) {
      const QSize size = picture_.size().scaled(inner.height(), inner.height(), Qt::KeepAspectRatio);
      const QRect target(inner.left(), inner.top() + (inner.height() - size.height()) / 2, size.width(), size.height());
      p.drawPixmap(target, picture_);
      inner.setLeft(target.right() + 4);
    }
    if (covered_) return;
    p.setPen(palette().color(QPalette::WindowText));
    const QString shown = fontMetrics().elidedText(text_, Qt::ElideRight, inner.width());
    p.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft, shown);
  }
  void resizeEvent(QResizeEvent*) override { UpdateToolTip(); }
  void mousePressEvent(QMouseEvent* event) override { pressed_ = event->button() == Qt::LeftButton; }
  void mouseReleaseEvent(QMouseEvent* event) override {
    const bool click = pressed_ && !afterDouble_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    afterDouble_ = false;
    if (click && onClick) onClick(key_);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    afterDouble_ = true;
    if (onDblClick) onDblClick(key_);
  }

 private:
  void UpdateToolTip() {
    const bool clipped =
        fontMetrics().horizontalAdvance(text_) > width() - 6 - textInset_ - (picture_.isNull() ? 0 : height());
    setToolTip(clipped && !text_.isEmpty() ? text_ : description_);
  }

  QString key_;
  QString description_;
  QString text_;
  QPixmap picture_;
  int widthTwips_ = 0;
  int textInset_ = 0;
  bool covered_ = false;
  bool announced_ = false;
  bool pressed_ = false;
  bool afterDouble_ = false;
};

namespace {

class StatusPanelAccessible : public QAccessibleWidget {
 public:
  explicit StatusPanelAccessible(StatusPanel* panel) : QAccessibleWidget(panel, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    const auto* panel = static_cast<const StatusPanel*>(widget());
    switch (t) {
      case QAccessible::Name:
        // The tool tip shows a clipped text; the name stays the panel's.
        return widget()->accessibleName().isEmpty() ? panel->Description() : widget()->accessibleName();
      case QAccessible::Value:
        return panel->Text();
      case QAccessible::Description:
        return {};
      default:
        return QAccessibleWidget::text(t);
    }
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }
};

QAccessibleInterface* StatusPanelFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget")) return nullptr;
  auto* panel = dynamic_cast<StatusPanel*>(object);
  return panel != nullptr ? new StatusPanelAccessible(panel) : nullptr;
}

}  // namespace

KeyedStatusBar::KeyedStatusBar(QWidget* parent) : QWidget(parent) {
  static const bool factoryInstalled = (QAccessible::installFactory(StatusPanelFactory), true);
  Q_UNUSED(factoryInstalled);
}

KeyedStatusBar::~KeyedStatusBar() = default;

void KeyedStatusBar::AddPanel(const QString& key, int widthTwips, const QString& description, const QString& text) {
  auto* panel = new StatusPanel(key, description, this);
  panel->SetWidthTwips(widthTwips);
  panel->SetText(text);
  panel->onClick = [this](const QString& k) { emit PanelClick(k); };
  panel->onDblClick = [this](const QString& k) { emit PanelDblClick(k); };
  panels_.push_back(panel);
  Relayout();
  panel->show();
}

StatusPanel* KeyedStatusBar::Find(const QString& key) const {
  for (StatusPanel* p : panels_)
    if (p->Key().compare(key, Qt::CaseInsensitive) == 0) return p;
  return nullptr;
}

bool KeyedStatusBar::Exists(const QString& key) const { return Find(key) != nullptr; }

QStringList KeyedStatusBar::Keys() const {
  QStringList keys;
  for (const StatusPanel* p : panels_) keys << p->Key();
  return keys;
}

QString KeyedStatusBar::PanelText(const QString& key) const {
  const StatusPanel* p = Find(key);
  return p == nullptr ? QString() : p->Text();
}

void KeyedStatusBar::SetPanelText(const QString& key, const QString& text) {
  if (StatusPanel* p = Find(key)) p->SetText(text);
}

void KeyedStatusBar::SetPanelAnnounced(const QString& key, bool announced) {
  if (StatusPanel* p = Find(key)) p->SetAnnounced(announced);
}

QPixmap KeyedStatusBar::PanelPicture(const QString& key) const {
  const StatusPanel* p = Find(key);
  return p == nullptr ? QPixmap() : p->Picture();
}

qint64 KeyedStatusBar::PanelPictureKey(const QString& key) const {
  const StatusPanel* p = Find(key);
  return p == nullptr ? 0 : p->Picture().cacheKey();
}

void KeyedStatusBar::SetPanelPicture(const QString& key, const QPixmap& picture) {
  if (StatusPanel* p = Find(key)) p->SetPicture(picture);
}

int KeyedStatusBar::PanelWidth(const QString& key) const {
  const StatusPanel* p = Find(key);
  return p == nullptr ? 0 : p->WidthTwips();
}

void KeyedStatusBar::SetPanelWidth(const QString& key, int widthTwips) {
  if (StatusPanel* p = Find(key)) {
    p->SetWidthTwips(widthTwips);
    Relayout();
  }
}

int KeyedStatusBar::PanelLeft(const QString& key) const {
  int left = 0;
  for (const StatusPanel* p : panels_) {
    if (p->Key().compare(key, Qt::CaseInsensitive) == 0) return left;
    left += p->WidthTwips();
  }
  return 0;
}

void KeyedStatusBar::SetPanelTextInset(const QString& key, int pixels) {
  if (StatusPanel* p = Find(key)) p->SetTextInset(pixels);
}

QWidget* KeyedStatusBar::PanelWidget(const QString& key) const { return Find(key); }

void KeyedStatusBar::SetPanelDescription(const QString& key, const QString& description) {
  if (StatusPanel* p = Find(key)) p->SetDescription(description);
}

void KeyedStatusBar::SetPanelCovered(const QString& key, bool covered) {
  if (StatusPanel* p = Find(key)) p->SetCovered(covered);
}

bool KeyedStatusBar::PanelCovered(const QString& key) const {
  const StatusPanel* p = Find(key);
  return p != nullptr && p->Covered();
}

QSize KeyedStatusBar::sizeHint() const { return {400, fontMetrics().height() + 8}; }

void KeyedStatusBar::resizeEvent(QResizeEvent*) { Relayout(); }

void KeyedStatusBar::Relayout() {
  int leftTwips = 0;
  for (StatusPanel* p : panels_) {
    const int left = static_cast<int>(TwipsToPixels(leftTwips) + 0.5);
    const int right = static_cast<int>(TwipsToPixels(leftTwips + p->WidthTwips()) + 0.5);
    p->setGeometry(left, 0, std::max(0, right - left), height());
    leftTwips += p->WidthTwips();
  }
}

}  // namespace forms
