// The plot's scroll bars: their positions from the view window, their
// change and thumb-drag events, and the arrows they show at their ends.
//
// The bars do not track the thumb: a drag reports its moves as Scroll and
// the new value once, as Change, when the thumb is let go.

#include "view/ScrollBars.h"

#include "forms/PictureBox.h"
#include "processing/Processing.h"
#include "view/PlotView.h"
#include "view/ViewModel.h"

#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace specterm {
namespace {

// The widget property that carries a bar's ScrollArrows.
constexpr const char* kArrowsProperty = "scrollArrows";

QStyle::SubControl DisabledArrow(const QWidget* widget) {
  if (widget == nullptr) return QStyle::SC_None;
  switch (static_cast<ScrollArrows>(widget->property(kArrowsProperty).toInt())) {
    case ScrollArrows::LeftUp:
      return QStyle::SC_ScrollBarAddLine;
    case ScrollArrows::RightDown:
      return QStyle::SC_ScrollBarSubLine;
    default:
      return QStyle::SC_None;
  }
}

class ScrollArrowStyle : public QProxyStyle {
 public:
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    const SubControl off = control == CC_ScrollBar ? DisabledArrow(widget) : SC_None;
    if (off == SC_None) return;
    // The disabled arrow is drawn over in the disabled colours.
    QStyleOption arrow(*option);
    arrow.rect = subControlRect(control, option, off, widget);
    arrow.state &= ~(State_Enabled | State_Sunken | State_MouseOver);
    arrow.palette.setCurrentColorGroup(QPalette::Disabled);
    painter->fillRect(arrow.rect, option->palette.color(QPalette::Disabled, QPalette::Button));
    const bool horizontal = (option->state & State_Horizontal) != 0;
    const bool sub = off == SC_ScrollBarSubLine;
    const PrimitiveElement element = horizontal ? (sub ? PE_IndicatorArrowLeft : PE_IndicatorArrowRight)
                                                : (sub ? PE_IndicatorArrowUp : PE_IndicatorArrowDown);
    proxy()->drawPrimitive(element, &arrow, painter, widget);
  }

  SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex* option, const QPoint& pos,
                                   const QWidget* widget) const override {
    const SubControl hit = QProxyStyle::hitTestComplexControl(control, option, pos, widget);
    if (control == CC_ScrollBar && hit == DisabledArrow(widget)) return SC_None;
    return hit;
  }
};

}  // namespace

QStyle* NewScrollArrowStyle(QObject* parent) {
  auto* style = new ScrollArrowStyle;
  style->setParent(parent);
  return style;
}

void ShowScrollArrows(QScrollBar* bar, ScrollArrows arrows) {
  if (ShownScrollArrows(bar) == arrows) return;
  bar->setProperty(kArrowsProperty, static_cast<int>(arrows));
  bar->update();
}

ScrollArrows ShownScrollArrows(const QScrollBar* bar) {
  return static_cast<ScrollArrows>(bar->property(kArrowsProperty).toInt());
}

void PlotView::SetScrollBars() {
  view_.ScrollSync = true;
  const ViewRect view = Window();
  QScrollBar* h = c_.hScroll;
  QScrollBar* v = c_.vScroll;
  const auto hValue = HScrollValueFor(view, spectrum_.Block().BandLow, spectrum_.Block().BandHigh,
                                      view_.PreviousView.Width, h->minimum(), h->maximum());
  // A position outside the bar's range leaves it where it was.
  if (hValue) h->setValue(*hValue);
  v->setValue(VScrollValueFor(view, v->minimum(), v->maximum()));
  // The arrows follow the thumb: one that leads beyond an end is disabled,
  // both are back as soon as the thumb is off the ends.
  view_.ArrowsH = ArrowsAt(h->value(), h->minimum(), h->maximum());
  view_.ArrowsV = ArrowsAt(v->value(), v->minimum(), v->maximum());
  ShowScrollArrows(h, view_.ArrowsH);
  ShowScrollArrows(v, view_.ArrowsV);
  RememberScrollValues();
  view_.ScrollSync = false;
}

void PlotView::ApplyScrollSettings(const ScrollSettings& scroll) {
  view_.ScrollSync = true;
  c_.hScroll->setRange(scroll.HScrollMin, scroll.HScrollMax);
  c_.hScroll->setValue(scroll.HScrollValue);
  c_.vScroll->setRange(scroll.VScrollMin, scroll.VScrollMax);
  c_.vScroll->setValue(scroll.VScrollValue);
  RememberScrollValues();
  view_.ScrollSync = false;
}

// An arrow click compares the bar's new value with the one before it: when
// the program moves a bar, that is where the bar now is.
void PlotView::RememberScrollValues() {
  view_.LastScrollValueH = static_cast<std::int16_t>(c_.hScroll->value());
  view_.LastScrollValueV = static_cast<std::int16_t>(c_.vScroll->value());
}

void PlotView::hScroll_Scroll() {
  if (view_.ScrollSync || view_.ScrollDragging) return;
  view_.ScrollDragging = true;
  view_.ScrollDragStart = static_cast<std::int16_t>(c_.hScroll->value());
}

void PlotView::vScroll_Scroll() {
  if (view_.ScrollSync || view_.ScrollDragging) return;
  view_.ScrollDragging = true;
  view_.ScrollDragStart = static_cast<std::int16_t>(c_.vScroll->value());
}

void PlotView::ScrollThumbReleased(bool moved) {
  if (!moved) view_.ScrollDragging = false;
}

void PlotView::hScroll_Change() {
  if (view_.ScrollSync) return;
  view_.ScrollBarsStale = true;
  const int value = c_.hScroll->value();
  if (view_.ScrollDragging) {
    // A drag moves the view by the dragged percentage of its own width.
    view_.ScrollDragging = false;
    SetPrevious();
    ViewRect view = Window();
    const double moved = (view_.ScrollDragStart - value) / 100.0 * static_cast<double>(view.Width);
    view.Left = static_cast<float>(static_cast<double>(view.Left) - moved);
    ApplyWindow(view);
    UpdateView();
    return;
  }
  ScrollStep(true, value);
}

void PlotView::vScroll_Change() {
  if (view_.ScrollSync) return;
  view_.ScrollBarsStale = true;
  const int value = c_.vScroll->value();
  if (view_.ScrollDragging) {
    // A drag moves the view by the dragged number of dB.
    view_.ScrollDragging = false;
    SetPrevious();
    ViewRect view = Window();
    view.Top -= static_cast<float>(view_.ScrollDragStart - value);
    ApplyWindow(view);
    UpdateView();
    return;
  }
  ScrollStep(false, value);
}

void PlotView::ScrollStep(bool horizontal, int value) {
  QScrollBar* bar = horizontal ? c_.hScroll : c_.vScroll;
  ScrollArrows& arrows = horizontal ? view_.ArrowsH : view_.ArrowsV;
  std::int16_t& last = horizontal ? view_.LastScrollValueH : view_.LastScrollValueV;
  if (value != bar->minimum() && value != bar->maximum()) {
    arrows = ScrollArrows::Both;
    ShowScrollArrows(bar, arrows);
    const int key = horizontal ? (value > last ? kPanRight : kPanLeft) : (value < last ? kPanUp : kPanDown);
    PanView(key);
    last = static_cast<std::int16_t>(bar->value());
    return;
  }
  // At an end: only the arrow leading away from it; the view stays.
  arrows = value == bar->maximum() ? ScrollArrows::LeftUp : ScrollArrows::RightDown;
  ShowScrollArrows(bar, arrows);
}

}  // namespace specterm
