#pragma once

// A picture box in the manner of the classic forms runtime: a widget with a
// persistent image that keeps whatever is drawn on it until it is cleared,
// a user coordinate system (ScaleLeft/Top/Width/Height), and drawing calls in
// those units. Pens are cosmetic and never antialiased, so the invert draw
// mode restores every pixel exactly when a figure is drawn a second time.
// Mouse events are reported in scale units.

#include "forms/PixelLines.h"

#include <QCursor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QMargins>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace forms {

// ScaleMode values.
inline constexpr int vbUser = 0;
inline constexpr int vbTwips = 1;
inline constexpr int vbPixels = 3;

// DrawStyle values.
inline constexpr int vbSolid = 0;
inline constexpr int vbDash = 1;
inline constexpr int vbDot = 2;
inline constexpr int vbDashDot = 3;
inline constexpr int vbDashDotDot = 4;

// DrawMode values: copy the pen, or invert what lies beneath it.
inline constexpr int vbInvert = 6;
inline constexpr int vbCopyPen = 13;

// MousePointer values.
inline constexpr int vbDefault = 0;
inline constexpr int vbArrow = 1;
inline constexpr int vbCrosshair = 2;
inline constexpr int vbIbeam = 3;
inline constexpr int vbHourglass = 11;
inline constexpr int vbCustom = 99;

// Mouse buttons and shift states of mouse and key events.
inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

// Cuts the segment (x1, y1)-(x2, y2) to the box left..right, top..bottom
// (Liang-Barsky); false when nothing of it lies inside or a coordinate is
// not finite.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, double left, double top, double right, double bottom);

// Where a scale lies on the picture: its rectangle (Left, Top, Width,
// Height, in scale units) maps onto a rectangle of pixels, the area. Double
// precision, no rounding; positions outside the area map linearly beyond it.
struct ScaleMapping {
  double Left = 0;
  double Top = 0;
  double Width = 1;
  double Height = 1;
  QRectF Area{0, 0, 1, 1};

  // Positions: scale units to pixels of the picture, and back.
  double PixelX(double x) const { return Area.left() + (x - Left) * Area.width() / Width; }
  double PixelY(double y) const { return Area.top() + (y - Top) * Area.height() / Height; }
  double X(double px) const { return Left + (px - Area.left()) * Width / Area.width(); }
  double Y(double py) const { return Top + (py - Area.top()) * Height / Area.height(); }
  // Lengths: scale units to pixels, and back.
  double PixelsX(double units) const { return units * Area.width() / Width; }
  double PixelsY(double units) const { return units * Area.height() / Height; }
  double UnitsX(double pixels) const { return pixels * Width / Area.width(); }
  double UnitsY(double pixels) const { return pixels * Height / Area.height(); }
};

// Colours are 0x00BBGGRR values, red in the low byte.
QRgb RgbFromColorRef(std::uint32_t bgr);
std::uint32_t ColorRefFromRgb(QRgb rgb);

class PictureBox : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent = nullptr);
  ~PictureBox() override;

  // The coordinate system. Assigning any of the four scale values switches
  // to the user scale; the pixel and twip modes follow the widget's size.
  float ScaleLeft() const;
  float ScaleTop() const;
  float ScaleWidth() const;
  float ScaleHeight() const;
  void SetScaleLeft(float value);
  void SetScaleTop(float value);
  void SetScaleWidth(float value);
  void SetScaleHeight(float value);
  int ScaleMode() const { return scaleMode_; }
  void SetScaleMode(int mode);

  // The user scale maps onto the picture less these insets, in pixels (a
  // plot keeps its labels there); drawing still reaches the whole picture.
  // Pixel and twip scales always take the whole picture.
  void SetScaleInsets(const QMargins& insets);
  const QMargins& ScaleInsets() const { return insets_; }
  // The one mapping between scale units and pixels that drawing, text
  // measures and mouse events all use.
  ScaleMapping Mapping() const;
  // Conversions between scale units and pixels of the image (double
  // precision, no rounding), through Mapping().
  double PixelX(double x) const { return Mapping().PixelX(x); }
  double PixelY(double y) const { return Mapping().PixelY(y); }
  double ScaleFromPixelX(double px) const { return Mapping().X(px); }
  double ScaleFromPixelY(double py) const { return Mapping().Y(py); }
  // While set, drawing is cut to the scale's area.
  void SetClipToScaleArea(bool on);
  // Size of the picture in pixels (the widget's size, at least 1 x 1).
  int PixelWidth() const { return std::max(1, width()); }
  int PixelHeight() const { return std::max(1, height()); }

  // Drawing state.
  float CurrentX() const { return currentX_; }
  float CurrentY() const { return currentY_; }
  void SetCurrentX(float x) { currentX_ = x; }
  void SetCurrentY(float y) { currentY_ = y; }
  int DrawWidth() const { return drawWidth_; }
  void SetDrawWidth(int width);
  int DrawStyle() const { return drawStyle_; }
  void SetDrawStyle(int style) { drawStyle_ = style; }
  int DrawMode() const { return drawMode_; }
  void SetDrawMode(int mode) { drawMode_ = mode; }
  std::uint32_t ForeColor() const { return foreColor_; }
  void SetForeColor(std::uint32_t color) { foreColor_ = color; }
  std::uint32_t BackColor() const { return backColor_; }
  // Setting the background colour clears the picture to it, as the classic
  // picture box does.
  void SetBackColor(std::uint32_t color);
  QString FontName() const { return font_.family(); }
  void SetFontName(const QString& name);
  double FontSize() const { return font_.pointSizeF(); }
  void SetFontSize(double points);
  const QFont& DrawingFont() const { return font_; }

  // Drawing calls, in scale units. A colour argument of -1 means ForeColor.
  // Lines leave out their last pixel, so that a figure made of joined lines
  // touches each pixel once; CurrentX/CurrentY move to the end point.
  void Cls();
  void Line(float x1, float y1, float x2, float y2, std::int64_t color = -1);
  void LineTo(float x2, float y2, std::int64_t color = -1);
  // Joined lines from each point to the next, in scale units, as that many
  // Line calls would draw them, with the scale's mapping taken once.
  // CurrentX/CurrentY move to the last point.
  void Polyline(std::span<const QPointF> points, std::int64_t color = -1);
  void Box(float x1, float y1, float x2, float y2, std::int64_t color = -1);
  void FilledBox(float x1, float y1, float x2, float y2, std::int64_t color = -1);
  // The radius is in horizontal scale units; the circle is round on screen.
  void Circle(float x, float y, float radius, std::int64_t color = -1);
  void PSet(float x, float y, std::int64_t color = -1);
  // Prints at CurrentX/CurrentY (the top-left of the text) in ForeColor on a
  // transparent background, then moves to the start of the next line.
  void Print(const QString& text);
  // Prints and leaves CurrentX after the text, on the same line.
  void PrintInline(const QString& text);
  float TextWidth(const QString& text) const;
  float TextHeight(const QString& text = QStringLiteral("X")) const;
  // Text rotated by escapement tenths of a degree counter-clockwise (900
  // reads upwards) in the given face and height in pixels. (x, y) is the
  // top-left corner of the text before rotation, as on the classic device
  // context. CurrentX/CurrentY are not changed.
  void PrintRotated(const QString& text, float x, float y, const QString& faceName, int heightPixels,
                    int escapementTenths);

  // The persistent image, finished and ready to copy.
  const QImage& Image();

  // Mouse pointer: one of the MousePointer values; vbCustom shows MouseIcon.
  int MousePointer() const { return mousePointer_; }
  void SetMousePointer(int pointer);
  const QCursor& MouseIcon() const { return mouseIcon_; }
  void SetMouseIcon(const QCursor& cursor);

  QSize sizeHint() const override { return {320, 200}; }

 signals:
  // Buttons are vbLeftButton, vbRightButton, vbMiddleButton (or their sum
  // for moves); shift is a sum of vbShiftMask, vbCtrlMask, vbAltMask.
  void MouseDown(int button, int shift, float x, float y);
  void MouseMove(int button, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  // After a button was pressed and released over the picture.
  void Click();
  // After a release that makes no click (outside the picture, or the end of
  // a double click), so that a press can always be seen to end.
  void NoClick();
  // Another window took the mouse while buttons were held on the picture:
  // a modal window or a menu opened, or the release went elsewhere. The
  // press has ended without a release or a click.
  void PressTaken();
  void DblClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPainter& Painter();
  void EndPainting();
  void Changed();
  enum class PenUse { Line, Figure, Text };
  void PreparePen(std::int64_t color, PenUse use = PenUse::Figure);
  bool WideLinesByStrokes() const { return drawWidth_ > 1 && drawMode_ == vbCopyPen; }
  void FollowWidgetScale();
  void SyncImageSize();
  bool ClipToCanvas(double& x1, double& y1, double& x2, double& y2) const;
  // The pen that the direct rasteriser lays down for the drawing state, or
  // none where the painter draws (wide inverted pens, other draw modes).
  std::optional<PixelPen> RasterPen(std::int64_t color) const;
  // The pixels lines may reach: the whole image, or the scale's area while
  // drawing is cut to it (its top left pixel then at canvasOrigin_).
  PixelCanvas Canvas();
  void DrawPixelLine(double x1, double y1, double x2, double y2, const std::optional<PixelPen>& pen);
  void DrawRasterLine(const PixelCanvas& canvas, QPoint a, QPoint b, const PixelPen& pen) const;
  void ApplyCursor();
  // Buttons held on the picture: the application's windows are watched for
  // one that takes the mouse from it.
  void HoldButton(int button);
  void TakePress();
  void ApplyClip();

  QImage image_;
  std::unique_ptr<QPainter> painter_;
  // The pen last given to the painter, so that runs of lines in one pen do
  // not set it again.
  struct PenKey {
    std::uint32_t color = 0;
    int width = 0;
    int style = -1;
    int mode = -1;
    PenUse use = PenUse::Figure;
    bool operator==(const PenKey&) const = default;
  };
  PenKey penKey_;
  bool penValid_ = false;
  bool repaintPending_ = false;
  int scaleMode_ = vbTwips;
  QMargins insets_;
  bool clipToArea_ = false;
  QPoint canvasOrigin_;
  float scaleLeft_ = 0;
  float scaleTop_ = 0;
  float scaleWidth_ = 1;
  float scaleHeight_ = 1;
  float currentX_ = 0;
  float currentY_ = 0;
  int drawWidth_ = 1;
  int drawStyle_ = vbSolid;
  int drawMode_ = vbCopyPen;
  std::uint32_t foreColor_ = 0x000000;
  std::uint32_t backColor_ = 0xFFFFFF;
  QFont font_;
  int mousePointer_ = vbDefault;
  QCursor mouseIcon_;
  int pressedButtons_ = 0;
  bool suppressClick_ = false;
};

}  // namespace forms
