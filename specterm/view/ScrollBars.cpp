// The plot's scroll bars: their positions from the view window, their
// change and thumb-drag events, and the arrows they show at their ends.
//
// The bars do not track the thumb: a drag reports its moves as Scroll and
// the new value once, as Change, when the thumb is let go.

#include "view/ScrollBars.h"

#include "forms/PictureBox.h"
#include "modems/frmMain.h"
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

ViewRect CurrentView(const forms::PictureBox& pic) {
  return {pic.ScaleLeft(), pic.ScaleTop(), pic.ScaleWidth(), pic.ScaleHeight()};
}

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

void frmMain::SetScrollBars() {
  View.ScrollSync = true;
  const ViewRect view = CurrentView(*picSpectrum);
  const auto h = HScrollValueFor(view, Spectrum->Block.BandLow, Spectrum->Block.BandHigh, View.PreviousView.Width,
                                 hScroll->minimum(), hScroll->maximum());
  // A position outside the bar's range leaves it where it was.
  if (h) hScroll->setValue(*h);
  vScroll->setValue(VScrollValueFor(view, vScroll->minimum(), vScroll->maximum()));
  // The arrows follow the thumb: one that leads beyond an end is disabled,
  // both are back as soon as the thumb is off the ends.
  View.ArrowsH = ArrowsAt(hScroll->value(), hScroll->minimum(), hScroll->maximum());
  View.ArrowsV = ArrowsAt(vScroll->value(), vScroll->minimum(), vScroll->maximum());
  ShowScrollArrows(hScroll, View.ArrowsH);
  ShowScrollArrows(vScroll, View.ArrowsV);
  View.ScrollSync = false;
}

void frmMain::hScroll_Scroll() {
  if (View.ScrollSync || View.ScrollDragging) return;
  View.ScrollDragging = true;
  View.ScrollDragStart = static_cast<std::int16_t>(hScroll->value());
}

void frmMain::vScroll_Scroll() {
  if (View.ScrollSync || View.ScrollDragging) return;
  View.ScrollDragging = true;
  View.ScrollDragStart = static_cast<std::int16_t>(vScroll->value());
}

void frmMain::hScroll_Change() {
  if (View.ScrollSync) return;
  View.ScrollBarsStale = true;
  const int value = hScroll->value();
  if (View.ScrollDragging) {
    // A drag moves the view by the dragged percentage of its own width.
    View.ScrollDragging = false;
    SetPrevious();
    const double moved = (View.ScrollDragStart - value) / 100.0 * static_cast<double>(picSpectrum->ScaleWidth());
    picSpectrum->SetScaleLeft(static_cast<float>(static_cast<double>(picSpectrum->ScaleLeft()) - moved));
    UpdateView();
    return;
  }
  if (value != hScroll->minimum() && value != hScroll->maximum()) {
    View.ArrowsH = ScrollArrows::Both;
    ShowScrollArrows(hScroll, View.ArrowsH);
    PanView(value > View.LastScrollValueH ? kPanRight : kPanLeft, false);
    View.LastScrollValueH = static_cast<std::int16_t>(hScroll->value());
    return;
  }
  // At an end: only the arrow leading away from it; the view stays.
  View.ArrowsH = value == hScroll->maximum() ? ScrollArrows::LeftUp : ScrollArrows::RightDown;
  ShowScrollArrows(hScroll, View.ArrowsH);
}

void frmMain::vScroll_Change() {
  if (View.ScrollSync) return;
  View.ScrollBarsStale = true;
  const int value = vScroll->value();
  if (View.ScrollDragging) {
    // A drag moves the view by the dragged number of dB.
    View.ScrollDragging = false;
    SetPrevious();
    picSpectrum->SetScaleTop(picSpectrum->ScaleTop() - static_cast<float>(View.ScrollDragStart - value));
    UpdateView();
    return;
  }
  if (value != vScroll->minimum() && value != vScroll->maximum()) {
    View.ArrowsV = ScrollArrows::Both;
    ShowScrollArrows(vScroll, View.ArrowsV);
    PanView(value < View.LastScrollValueV ? kPanUp : kPanDown, false);
    View.LastScrollValueV = static_cast<std::int16_t>(vScroll->value());
    return;
  }
  View.ArrowsV = value == vScroll->maximum() ? ScrollArrows::LeftUp : ScrollArrows::RightDown;
  ShowScrollArrows(vScroll, View.ArrowsV);
}

}  // namespace specterm
