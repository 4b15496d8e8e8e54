#include "PlotView.h"

#include "ConstellationMonitor.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QPainter>
#include <QResizeEvent>

namespace orbscope {

namespace {

class PlotAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit PlotAccessible(PlotView* plot) : QAccessibleWidget(plot, QAccessible::Chart) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Plot()->ReadingText();
    return QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override {
    const std::optional<double> evm = Plot()->ReadingEvm();
    return evm ? QVariant(*evm) : QVariant();
  }
  void setCurrentValue(const QVariant&) override {}  // a reading, not a setting
  QVariant maximumValue() const override { return {}; }
  QVariant minimumValue() const override { return {}; }
  QVariant minimumStepSize() const override { return {}; }

 private:
  PlotView* Plot() const { return static_cast<PlotView*>(widget()); }
};

QAccessibleInterface* PlotAccessibleFactory(const QString&, QObject* object) {
  auto* plot = qobject_cast<PlotView*>(object);
  return plot != nullptr ? new PlotAccessible(plot) : nullptr;
}

}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(PlotAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  setAccessibleName(QStringLiteral("Constellation"));
}

QString PlotView::ReadingText() const {
  if (monitor_ == nullptr) return {};
  if (!monitor_->ProgressText().empty()) return QString::fromLocal8Bit(monitor_->ProgressText().c_str());
  if (!monitor_->IsConnected() || monitor_->ISamples().Count() == 0) return {};
  return QString::fromLatin1(monitor_->TitleText().c_str());
}

std::optional<double> PlotView::ReadingEvm() const {
  // Before the first drawing, and without a modulation, there is none.
  if (ReadingText().isEmpty() || !monitor_->ProgressText().empty() || monitor_->Modulation() == 0) return std::nullopt;
  return monitor_->Evm();
}

void PlotView::ReadingChanged() {
  const std::optional<double> evm = ReadingEvm();
  QAccessibleValueChangeEvent event(this, evm ? QVariant(*evm) : QVariant());
  QAccessible::updateAccessibility(&event);
}

void PlotView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (monitor_ != nullptr && !monitor_->Picture().isNull()) painter.drawImage(0, 0, monitor_->Picture());
}

void PlotView::resizeEvent(QResizeEvent* event) {
  if (monitor_ != nullptr) monitor_->SetClientSize(event->size().width(), event->size().height());
  QWidget::resizeEvent(event);
}

}  // namespace orbscope
