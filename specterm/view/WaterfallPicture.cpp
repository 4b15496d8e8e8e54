#include "view/WaterfallPicture.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <QWheelEvent>

namespace specterm {

WaterfallPicture::WaterfallPicture(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

bool WaterfallPicture::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = source_ != nullptr ? source_->ToolTipAt(help->pos()) : QString();
    if (tip.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), tip, this);
    return true;
  }
  return QWidget::event(event);
}

void WaterfallPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (source_ != nullptr)
    source_->PaintPicture(painter);
  else
    painter.fillRect(rect(), palette().window());
}

void WaterfallPicture::mousePressEvent(QMouseEvent* event) { event->accept(); }
void WaterfallPicture::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void WaterfallPicture::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void WaterfallPicture::wheelEvent(QWheelEvent* event) { event->accept(); }
void WaterfallPicture::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

SplitHandle::SplitHandle(QWidget* parent) : QWidget(parent) { setCursor(Qt::SplitVCursor); }

void SplitHandle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOption option;
  option.initFrom(this);
  option.state |= QStyle::State_Horizontal;
  painter.fillRect(rect(), palette().window());
  style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}

void SplitHandle::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressY_ = event->globalPosition().y();
  emit DragStarted();
}

void SplitHandle::mouseMoveEvent(QMouseEvent* event) {
  if (!pressY_) return;
  emit Dragged(static_cast<int>(event->globalPosition().y() - *pressY_));
}

void SplitHandle::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pressY_.reset();
}

}  // namespace specterm
