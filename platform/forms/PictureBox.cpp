#include "forms/PictureBox.h"

#include "base/Twips.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace forms {
namespace {

// A picture for screen readers, named as the program names the box, with
// the description the program keeps of what it shows.
QAccessibleInterface* PictureBoxFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("forms::PictureBox")) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Graphic);
}

// Pixel coordinates further out than this from the image are clipped before
// they reach the painter, whose fixed-point arithmetic cannot take them.
constexpr double kClipMargin = 16.0;

int RoundPixel(double v) { return static_cast<int>(std::floor(v + 0.5)); }

int QtButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return vbLeftButton;
    case Qt::RightButton:
      return vbRightButton;
    case Qt::MiddleButton:
      return vbMiddleButton;
    default:
      return 0;
  }
}

int QtButtons(Qt::MouseButtons buttons) {
  int result = 0;
  if (buttons & Qt::LeftButton) result |= vbLeftButton;
  if (buttons & Qt::RightButton) result |= vbRightButton;
  if (buttons & Qt::MiddleButton) result |= vbMiddleButton;
  return result;
}

int QtShift(Qt::KeyboardModifiers modifiers) {
  int result = 0;
  if (modifiers & Qt::ShiftModifier) result |= vbShiftMask;
  if (modifiers & Qt::ControlModifier) result |= vbCtrlMask;
  if (modifiers & Qt::AltModifier) result |= vbAltMask;
  return result;
}

Qt::PenStyle QtPenStyle(int drawStyle) {
  switch (drawStyle) {
    case vbDash:
      return Qt::DashLine;
    case vbDot:
      return Qt::DotLine;
    case vbDashDot:
      return Qt::DashDotLine;
    case vbDashDotDot:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

QPainter::CompositionMode QtCompositionMode(int drawMode) {
  switch (drawMode) {
    case vbInvert:
      return QPainter::RasterOp_NotDestination;
    case 7:  // XOR pen
      return QPainter::RasterOp_SourceXorDestination;
    default:
      return QPainter::CompositionMode_SourceOver;
  }
}

// Monospaced Windows faces (such as "Courier New") may be missing here; ask for a
// typewriter face then, so the fallback is monospaced too.
QFont FontForFace(const QString& face) {
  QFont font(face);
  const QString lower = face.toLower();
  if (lower.contains(QStringLiteral("courier")) || lower.contains(QStringLiteral("mono")) ||
      QFontDatabase::isFixedPitch(face))
    font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace

QRgb RgbFromColorRef(std::uint32_t bgr) { return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

std::uint32_t ColorRefFromRgb(QRgb rgb) {
  return static_cast<std::uint32_t>(qRed(rgb)) | (static_cast<std::uint32_t>(qGreen(rgb)) << 8) |
         (static_cast<std::uint32_t>(qBlue(rgb)) << 16);
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), image_(1, 1, QImage::Format_RGB32) {
  static const bool factoryInstalled = (QAccessible::installFactory(PictureBoxFactory), true);
  Q_UNUSED(factoryInstalled);
  image_.fill(RgbFromColorRef(backColor_));
  font_.setPointSizeF(8.0);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() { EndPainting(); }

float PictureBox::ScaleLeft() const { return scaleMode_ == vbUser ? scaleLeft_ : 0.0f; }
float PictureBox::ScaleTop() const { return scaleMode_ == vbUser ? scaleTop_ : 0.0f; }

float PictureBox::ScaleWidth() const {
  if (scaleMode_ == vbPixels) return static_cast<float>(PixelWidth());
  if (scaleMode_ == vbTwips) return static_cast<float>(PixelWidth() * kTwipsPerPixel);
  return scaleWidth_;
}

float PictureBox::ScaleHeight() const {
  if (scaleMode_ == vbPixels) return static_cast<float>(PixelHeight());
  if (scaleMode_ == vbTwips) return static_cast<float>(PixelHeight() * kTwipsPerPixel);
  return scaleHeight_;
}

void PictureBox::SetScaleLeft(float value) {
  FollowWidgetScale();
  scaleMode_ = vbUser;
  scaleLeft_ = value;
}

void PictureBox::SetScaleTop(float value) {
  FollowWidgetScale();
  scaleMode_ = vbUser;
  scaleTop_ = value;
}

void PictureBox::SetScaleWidth(float value) {
  FollowWidgetScale();
  scaleMode_ = vbUser;
  scaleWidth_ = value;
}

void PictureBox::SetScaleHeight(float value) {
  FollowWidgetScale();
  scaleMode_ = vbUser;
  scaleHeight_ = value;
}

void PictureBox::SetScaleMode(int mode) {
  FollowWidgetScale();
  scaleMode_ = mode;
}

// Leaving a pixel or twip scale for the user scale starts from the values
// those scales had.
void PictureBox::FollowWidgetScale() {
  if (scaleMode_ == vbPixels || scaleMode_ == vbTwips) {
    scaleLeft_ = 0;
    scaleTop_ = 0;
    scaleWidth_ = ScaleWidth();
    scaleHeight_ = ScaleHeight();
  }
}

// A hidden widget gets no resize events; the image follows its size here
// before anything is drawn or read.
void PictureBox::SyncImageSize() {
  const QSize size(PixelWidth(), PixelHeight());
  if (size == image_.size()) return;
  // The drawing stays where it was until the owner redraws.
  EndPainting();
  QImage grown(size, QImage::Format_RGB32);
  grown.fill(RgbFromColorRef(backColor_));
  {
    QPainter p(&grown);
    p.drawImage(0, 0, image_);
  }
  image_ = std::move(grown);
}

void PictureBox::SetScaleInsets(const QMargins& insets) {
  if (insets == insets_) return;
  insets_ = insets;
  ApplyClip();
}

ScaleMapping PictureBox::Mapping() const {
  ScaleMapping m;
  m.Left = ScaleLeft();
  m.Top = ScaleTop();
  m.Width = ScaleWidth();
  m.Height = ScaleHeight();
  const bool inset = scaleMode_ == vbUser;
  const int left = inset ? insets_.left() : 0;
  const int top = inset ? insets_.top() : 0;
  const int width = inset ? PixelWidth() - left - insets_.right() : PixelWidth();
  const int height = inset ? PixelHeight() - top - insets_.bottom() : PixelHeight();
  m.Area = QRectF(left, top, std::max(1, width), std::max(1, height));
  return m;
}

void PictureBox::SetClipToScaleArea(bool on) {
  if (on == clipToArea_) return;
  clipToArea_ = on;
  ApplyClip();
}

void PictureBox::ApplyClip() {
  if (!painter_) return;
  if (clipToArea_)
    painter_->setClipRect(Mapping().Area);
  else
    painter_->setClipping(false);
}

void PictureBox::SetDrawWidth(int width) { drawWidth_ = std::max(1, width); }

void PictureBox::SetBackColor(std::uint32_t color) {
  backColor_ = color & 0xFFFFFF;
  Cls();
}

void PictureBox::SetFontName(const QString& name) {
  const double points = font_.pointSizeF();
  font_ = FontForFace(name);
  font_.setPointSizeF(points);
}

void PictureBox::SetFontSize(double points) {
  if (points > 0) font_.setPointSizeF(points);
}

QPainter& PictureBox::Painter() {
  if (!painter_) {
    SyncImageSize();
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    ApplyClip();
  }
  return *painter_;
}

// One repaint for any number of drawing calls before it.
void PictureBox::Changed() {
  if (repaintPending_) return;
  repaintPending_ = true;
  update();
}

void PictureBox::EndPainting() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
  penValid_ = false;
}

void PictureBox::PreparePen(std::int64_t color, PenUse use) {
  QPainter& p = Painter();
  const std::uint32_t bgr = color < 0 ? foreColor_ : static_cast<std::uint32_t>(color);
  const PenKey key{bgr, drawWidth_, drawStyle_, drawMode_, use};
  if (penValid_ && key == penKey_) return;
  penKey_ = key;
  penValid_ = true;
  QPen pen{QColor(RgbFromColorRef(bgr))};
  const bool text = use == PenUse::Text;
  if (drawWidth_ <= 1 || text || (use == PenUse::Line && WideLinesByStrokes())) {
    // Cosmetic one-pixel pen; styles apply only to these, as on the classic
    // device context, and the last pixel of a line is left out. Wide lines
    // in copy mode are laid down as parallel strokes of this pen, which is
    // many times faster than stroking a wide outline.
    pen.setWidth(0);
    pen.setStyle(text || drawWidth_ > 1 ? Qt::SolidLine : QtPenStyle(drawStyle_));
    pen.setCapStyle(Qt::FlatCap);
  } else {
    pen.setWidth(drawWidth_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.setCompositionMode(QtCompositionMode(drawMode_));
}

bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right, double bottom) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  double t0 = 0.0;
  double t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  // An end that is not cut stays exactly where it was, so that a caller can
  // tell a cut end by comparing.
  const double ox = x1;
  const double oy = y1;
  if (t0 > 0.0) {
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
  }
  if (t1 < 1.0) {
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
  }
  return true;
}

// Against the image grown by a margin, in pixel coordinates.
bool PictureBox::ClipToCanvas(double& x1, double& y1, double& x2, double& y2) const {
  const double margin = kClipMargin + drawWidth_;
  return ClipSegment(x1, y1, x2, y2, -margin, -margin, image_.width() + margin, image_.height() + margin);
}

std::optional<PixelPen> PictureBox::RasterPen(std::int64_t color) const {
  if (drawMode_ != vbCopyPen && drawMode_ != vbInvert) return std::nullopt;
  // Wide lines in copy mode are laid down as parallel one-pixel strokes;
  // wide inverted ones are the painter's.
  if (drawWidth_ > 1 && drawMode_ != vbCopyPen) return std::nullopt;
  const std::uint32_t bgr = color < 0 ? foreColor_ : static_cast<std::uint32_t>(color);
  // Styles apply to one-pixel pens only, as on the classic device context.
  return PixelPen{RgbFromColorRef(bgr), drawMode_ == vbInvert,
                  drawWidth_ > 1 ? std::span<const std::uint8_t>() : PixelPattern(drawStyle_)};
}

PixelCanvas PictureBox::Canvas() {
  SyncImageSize();
  // Writing through bits() is safe while a painter is open on the image: the
  // painter detached it when it began, and Image() ends the painter before
  // anyone can share it again.
  const int stride = static_cast<int>(image_.bytesPerLine() / 4);
  auto* bits = reinterpret_cast<std::uint32_t*>(image_.bits());
  canvasOrigin_ = QPoint();
  if (!clipToArea_) return {bits, image_.width(), image_.height(), stride};
  // Cut to the scale's area, as the painter's clip is: the canvas starts at
  // the area's top left pixel, and lines are moved by as much.
  const QRect area = Mapping().Area.toRect().intersected(image_.rect());
  if (area.isEmpty()) return {bits, 0, 0, stride};
  canvasOrigin_ = area.topLeft();
  return {bits + static_cast<std::ptrdiff_t>(area.top()) * stride + area.left(), area.width(), area.height(), stride};
}

void PictureBox::DrawRasterLine(const PixelCanvas& canvas, QPoint a, QPoint b, const PixelPen& pen) const {
  a -= canvasOrigin_;
  b -= canvasOrigin_;
  if (drawWidth_ <= 1) {
    forms::DrawPixelLine(canvas, a, b, pen);
    return;
  }
  // Strokes side by side across the line's main direction, and a square of
  // the pen's width at the start to close the joint with the line before it.
  const int low = -(drawWidth_ - 1) / 2;
  const int high = drawWidth_ / 2;
  const bool across = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
  for (int o = low; o <= high; ++o) {
    const QPoint offset = across ? QPoint(0, o) : QPoint(o, 0);
    forms::DrawPixelLine(canvas, a + offset, b + offset, pen);
  }
  FillPixels(canvas, a.x() + low, a.y() + low, a.x() + high, a.y() + high, pen);
}

void PictureBox::DrawPixelLine(double x1, double y1, double x2, double y2, const std::optional<PixelPen>& pen) {
  if (!ClipToCanvas(x1, y1, x2, y2)) return;
  const QPoint a(RoundPixel(x1), RoundPixel(y1));
  const QPoint b(RoundPixel(x2), RoundPixel(y2));
  if (pen)
    DrawRasterLine(Canvas(), a, b, *pen);
  else
    Painter().drawLine(a, b);
  Changed();
}

void PictureBox::Cls() {
  EndPainting();
  SyncImageSize();
  image_.fill(RgbFromColorRef(backColor_));
  currentX_ = 0;
  currentY_ = 0;
  Changed();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, std::int64_t color) {
  const std::optional<PixelPen> pen = RasterPen(color);
  if (!pen) PreparePen(color, PenUse::Line);
  DrawPixelLine(PixelX(x1), PixelY(y1), PixelX(x2), PixelY(y2), pen);
  currentX_ = x2;
  currentY_ = y2;
}

void PictureBox::LineTo(float x2, float y2, std::int64_t color) { Line(currentX_, currentY_, x2, y2, color); }

void PictureBox::Polyline(std::span<const QPointF> points, std::int64_t color) {
  if (points.empty()) return;
  const std::optional<PixelPen> pen = RasterPen(color);
  if (!pen) PreparePen(color, PenUse::Line);
  currentX_ = static_cast<float>(points.back().x());
  currentY_ = static_cast<float>(points.back().y());
  if (points.size() < 2) return;
  if (!pen) {
    for (std::size_t i = 1; i < points.size(); ++i)
      DrawPixelLine(PixelX(points[i - 1].x()), PixelY(points[i - 1].y()), PixelX(points[i].x()), PixelY(points[i].y()),
                    pen);
    return;
  }
  // The scale's mapping, taken once for all points.
  const ScaleMapping mapping = Mapping();
  const auto toPixelX = [&](double x) { return mapping.PixelX(x); };
  const auto toPixelY = [&](double y) { return mapping.PixelY(y); };
  const PixelCanvas canvas = Canvas();
  // Within the image grown by the clipping margin: no clipping needed.
  const double margin = kClipMargin + drawWidth_;
  const double limitX = image_.width() + margin;
  const double limitY = image_.height() + margin;
  const auto near = [&](double x, double y) { return x >= -margin && y >= -margin && x <= limitX && y <= limitY; };
  double x0 = toPixelX(points[0].x());
  double y0 = toPixelY(points[0].y());
  bool inside0 = near(x0, y0);
  // Pixels are only formed for points near the picture; far ones do not fit
  // an int.
  QPoint a = inside0 ? QPoint(RoundPixel(x0), RoundPixel(y0)) : QPoint();
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double x1 = toPixelX(points[i].x());
    const double y1 = toPixelY(points[i].y());
    const bool inside1 = near(x1, y1);
    const QPoint b = inside1 ? QPoint(RoundPixel(x1), RoundPixel(y1)) : QPoint();
    if (inside0 && inside1) {
      DrawRasterLine(canvas, a, b, *pen);
    } else {
      // A segment that leaves the picture is cut to it first.
      double ax = x0;
      double ay = y0;
      double bx = x1;
      double by = y1;
      if (ClipToCanvas(ax, ay, bx, by))
        DrawRasterLine(canvas, QPoint(RoundPixel(ax), RoundPixel(ay)), QPoint(RoundPixel(bx), RoundPixel(by)), *pen);
    }
    x0 = x1;
    y0 = y1;
    a = b;
    inside0 = inside1;
  }
  Changed();
}

void PictureBox::Box(float x1, float y1, float x2, float y2, std::int64_t color) {
  PreparePen(color);
  const double limitX = image_.width() + kClipMargin + drawWidth_;
  const double limitY = image_.height() + kClipMargin + drawWidth_;
  const double lowX = -kClipMargin - drawWidth_;
  const double lowY = -kClipMargin - drawWidth_;
  auto clampX = [&](double v) { return RoundPixel(std::clamp(std::isfinite(v) ? v : 0.0, lowX, limitX)); };
  auto clampY = [&](double v) { return RoundPixel(std::clamp(std::isfinite(v) ? v : 0.0, lowY, limitY)); };
  const int ax = clampX(PixelX(x1));
  const int ay = clampY(PixelY(y1));
  const int bx = clampX(PixelX(x2));
  const int by = clampY(PixelY(y2));
  const QPoint topLeft(std::min(ax, bx), std::min(ay, by));
  Painter().drawRect(QRect(topLeft, QSize(std::abs(bx - ax), std::abs(by - ay))));
  currentX_ = x2;
  currentY_ = y2;
  Changed();
}

void PictureBox::FilledBox(float x1, float y1, float x2, float y2, std::int64_t color) {
  PreparePen(color);
  const std::uint32_t bgr = color < 0 ? foreColor_ : static_cast<std::uint32_t>(color);
  auto clampX = [&](double v) {
    return RoundPixel(std::clamp(std::isfinite(v) ? v : 0.0, -1.0, image_.width() + 1.0));
  };
  auto clampY = [&](double v) {
    return RoundPixel(std::clamp(std::isfinite(v) ? v : 0.0, -1.0, image_.height() + 1.0));
  };
  const int ax = clampX(PixelX(x1));
  const int ay = clampY(PixelY(y1));
  const int bx = clampX(PixelX(x2));
  const int by = clampY(PixelY(y2));
  const QRect rect(QPoint(std::min(ax, bx), std::min(ay, by)), QPoint(std::max(ax, bx), std::max(ay, by)));
  Painter().fillRect(rect, QColor(RgbFromColorRef(bgr)));
  currentX_ = x2;
  currentY_ = y2;
  Changed();
}

void PictureBox::Circle(float x, float y, float radius, std::int64_t color) {
  PreparePen(color);
  const double cx = PixelX(x);
  const double cy = PixelY(y);
  const double r = std::abs(Mapping().PixelsX(radius));
  currentX_ = x;
  currentY_ = y;
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r)) return;
  // Nothing of a circle that lies wholly outside the image can be seen.
  const double reach = r + drawWidth_ + 1;
  if (cx + reach < 0 || cy + reach < 0 || cx - reach > image_.width() || cy - reach > image_.height()) return;
  if (r > 4.0 * (image_.width() + image_.height())) return;
  const int ri = RoundPixel(r);
  Painter().drawEllipse(QPoint(RoundPixel(cx), RoundPixel(cy)), ri, ri);
  Changed();
}

void PictureBox::PSet(float x, float y, std::int64_t color) {
  PreparePen(color);
  const double px = PixelX(x);
  const double py = PixelY(y);
  currentX_ = x;
  currentY_ = y;
  if (px < -1 || py < -1 || px > image_.width() + 1 || py > image_.height() + 1) return;
  Painter().fillRect(QRect(RoundPixel(px), RoundPixel(py), 1, 1), Painter().pen().color());
  Changed();
}

void PictureBox::PrintInline(const QString& text) {
  PreparePen(-1, PenUse::Text);
  QPainter& p = Painter();
  QFont font = font_;
  if (drawMode_ != vbCopyPen) font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  const QFontMetricsF metrics(font, &image_);
  const double px = PixelX(currentX_);
  const double py = PixelY(currentY_);
  if (std::isfinite(px) && std::isfinite(py) && std::abs(px) < 1e6 && std::abs(py) < 1e6)
    p.drawText(QPointF(RoundPixel(px), RoundPixel(py) + metrics.ascent()), text);
  currentX_ += TextWidth(text);
  Changed();
}

void PictureBox::Print(const QString& text) {
  const float height = TextHeight(text);
  PrintInline(text);
  currentX_ = 0;
  currentY_ += height;
}

float PictureBox::TextWidth(const QString& text) const {
  const QFontMetricsF metrics(font_, &image_);
  return static_cast<float>(Mapping().UnitsX(metrics.horizontalAdvance(text)));
}

float PictureBox::TextHeight(const QString& text) const {
  const QFontMetricsF metrics(font_, &image_);
  const auto lines = std::max<qsizetype>(1, text.count(QLatin1Char('\n')) + 1);
  return static_cast<float>(Mapping().UnitsY(lines * metrics.height()));
}

void PictureBox::PrintRotated(const QString& text, float x, float y, const QString& faceName, int heightPixels,
                              int escapementTenths) {
  PreparePen(-1, PenUse::Text);
  QPainter& p = Painter();
  QFont font = FontForFace(faceName);
  font.setPixelSize(std::max(1, heightPixels));
  if (drawMode_ != vbCopyPen) font.setStyleStrategy(QFont::NoAntialias);
  const double px = PixelX(x);
  const double py = PixelY(y);
  if (!std::isfinite(px) || !std::isfinite(py) || std::abs(px) > 1e6 || std::abs(py) > 1e6) return;
  const QFontMetricsF metrics(font, &image_);
  p.save();
  p.setFont(font);
  p.translate(RoundPixel(px), RoundPixel(py));
  p.rotate(-escapementTenths / 10.0);
  p.drawText(QPointF(0, metrics.ascent()), text);
  p.restore();
  Changed();
}

const QImage& PictureBox::Image() {
  EndPainting();
  SyncImageSize();
  return image_;
}

void PictureBox::SetMousePointer(int pointer) {
  mousePointer_ = pointer;
  ApplyCursor();
}

void PictureBox::SetMouseIcon(const QCursor& cursor) {
  mouseIcon_ = cursor;
  ApplyCursor();
}

void PictureBox::ApplyCursor() {
  switch (mousePointer_) {
    case vbDefault:
      unsetCursor();
      break;
    case vbCrosshair:
      setCursor(Qt::CrossCursor);
      break;
    case vbIbeam:
      setCursor(Qt::IBeamCursor);
      break;
    case vbHourglass:
      setCursor(Qt::WaitCursor);
      break;
    case vbCustom:
      setCursor(mouseIcon_);
      break;
    default:
      setCursor(Qt::ArrowCursor);
      break;
  }
}

void PictureBox::paintEvent(QPaintEvent*) {
  repaintPending_ = false;
  EndPainting();
  SyncImageSize();
  QPainter p(this);
  p.drawImage(0, 0, image_);
  const QColor back(RgbFromColorRef(backColor_));
  if (width() > image_.width()) p.fillRect(image_.width(), 0, width() - image_.width(), height(), back);
  if (height() > image_.height()) p.fillRect(0, image_.height(), image_.width(), height() - image_.height(), back);
}

void PictureBox::resizeEvent(QResizeEvent*) { SyncImageSize(); }

void PictureBox::HoldButton(int button) {
  if (pressedButtons_ == 0) qApp->installEventFilter(this);
  pressedButtons_ |= button;
}

void PictureBox::TakePress() {
  if (pressedButtons_ == 0) return;
  pressedButtons_ = 0;
  qApp->removeEventFilter(this);
  emit PressTaken();
}

bool PictureBox::eventFilter(QObject* watched, QEvent* event) {
  if (pressedButtons_ == 0 || !watched->isWidgetType() || watched == this) return false;
  const auto* widget = static_cast<QWidget*>(watched);
  if (event->type() == QEvent::Show && widget->isWindow() && (widget->isModal() || widget->windowType() == Qt::Popup)) {
    TakePress();
  } else if (event->type() == QEvent::MouseButtonRelease &&
             (QtButton(static_cast<QMouseEvent*>(event)->button()) & pressedButtons_) != 0) {
    TakePress();
  }
  return false;
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  const int button = QtButton(event->button());
  if (button == 0) return;
  HoldButton(button);
  suppressClick_ = false;
  emit MouseDown(button, QtShift(event->modifiers()), static_cast<float>(ScaleFromPixelX(event->position().x())),
                 static_cast<float>(ScaleFromPixelY(event->position().y())));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(QtButtons(event->buttons()), QtShift(event->modifiers()),
                 static_cast<float>(ScaleFromPixelX(event->position().x())),
                 static_cast<float>(ScaleFromPixelY(event->position().y())));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
  const int button = QtButton(event->button());
  if (button == 0) return;
  const bool wasPressed = (pressedButtons_ & button) != 0;
  pressedButtons_ &= ~button;
  if (pressedButtons_ == 0) qApp->removeEventFilter(this);
  emit MouseUp(button, QtShift(event->modifiers()), static_cast<float>(ScaleFromPixelX(event->position().x())),
               static_cast<float>(ScaleFromPixelY(event->position().y())));
  // Released over the picture after a press on it: a click. The release that
  // ends a double click is not a second click.
  const bool click = wasPressed && !suppressClick_ && rect().contains(event->position().toPoint());
  suppressClick_ = false;
  if (click)
    emit Click();
  else
    emit NoClick();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  const int button = QtButton(event->button());
  if (button == 0) return;
  HoldButton(button);
  suppressClick_ = true;
  emit DblClick();
}

}  // namespace forms
