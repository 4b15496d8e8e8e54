#include "view/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <functional>
#include <vector>

namespace specterm {
namespace {

constexpr int kToolbarImageSize = 16;
constexpr int kPointerSize = 32;

const QColor kInk(30, 30, 30);
const QColor kScreen(16, 16, 16);
const QColor kBlue(30, 90, 200);

using Drawing = std::function<void(QPainter&)>;

QPixmap Draw(int size, const Drawing& drawing) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing, true);
  drawing(p);
  return pixmap;
}

QPen Pen(const QColor& color, double width = 1.0, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(color, width, style, Qt::RoundCap, Qt::RoundJoin);
  return pen;
}

// A small plot screen with a trace in it.
void Screen(QPainter& p) {
  p.setPen(Pen(QColor(90, 90, 90)));
  p.setBrush(kScreen);
  p.drawRect(QRectF(0.5, 1.5, 15, 13));
}

void Trace(QPainter& p, const QColor& color, const std::vector<QPointF>& points, Qt::PenStyle style = Qt::SolidLine) {
  p.setPen(Pen(color, 1.4, style));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(points.data(), static_cast<int>(points.size()));
}

const std::vector<QPointF> kSpectrum = {{1.5, 13}, {3.5, 12}, {5, 9},     {6.5, 11}, {8, 4},
                                        {9.5, 10}, {11, 8},   {12.5, 12}, {14.5, 13}};

void Magnifier(QPainter& p, double cx, double cy, double r, const QColor& glass = QColor(220, 235, 255)) {
  p.setPen(Pen(kInk, 2.0));
  p.drawLine(QPointF(cx + r * 0.7, cy + r * 0.7), QPointF(cx + r * 1.9, cy + r * 1.9));
  p.setPen(Pen(kInk, 1.3));
  p.setBrush(glass);
  p.drawEllipse(QPointF(cx, cy), r, r);
}

void Triangle(QPainter& p, const QColor& color, QPointF a, QPointF b, QPointF c) {
  p.setPen(Pen(color.darker(140), 1.0));
  p.setBrush(color);
  const QPointF pts[3] = {a, b, c};
  p.drawPolygon(pts, 3);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& color, double width = 1.6) {
  p.setPen(Pen(color, width));
  p.drawLine(from, to);
  const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
  const double head = 3.5;
  const QPointF left(to.x() - head * std::cos(angle - 0.6), to.y() - head * std::sin(angle - 0.6));
  const QPointF right(to.x() - head * std::cos(angle + 0.6), to.y() - head * std::sin(angle + 0.6));
  p.drawLine(to, left);
  p.drawLine(to, right);
}

void StatusLamp(QPainter& p, const QColor& color) {
  p.setPen(Pen(color.darker(170), 1.0));
  QRadialGradient gradient(QPointF(6, 6), 8);
  gradient.setColorAt(0, color.lighter(160));
  gradient.setColorAt(1, color);
  p.setBrush(gradient);
  p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
}

// Toolbar pictures, keyed by button.
QPixmap ExportImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    p.setPen(Pen(QColor(110, 110, 110)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 9, 12.5));
    p.setPen(Pen(QColor(150, 150, 150)));
    for (double y : {4.5, 7.0, 9.5, 12.0}) p.drawLine(QPointF(3, y), QPointF(8, y));
    Arrow(p, QPointF(6.5, 8.5), QPointF(15, 8.5), QColor(20, 140, 40), 2.0);
  });
}

QPixmap StopGoImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    p.setPen(Pen(kInk));
    p.setBrush(QColor(60, 60, 60));
    p.drawRoundedRect(QRectF(3.5, 0.5, 9, 15), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 40, 40));
    p.drawEllipse(QPointF(8, 4.5), 2.6, 2.6);
    p.setBrush(QColor(40, 200, 60));
    p.drawEllipse(QPointF(8, 11.5), 2.6, 2.6);
  });
}

QPixmap SingleStepImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    Triangle(p, kBlue, QPointF(2, 2.5), QPointF(11, 8), QPointF(2, 13.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(11.5, 2.5, 2.5, 11));
  });
}

QPixmap TraceImage(const QColor& color, int kind) {
  return Draw(kToolbarImageSize, [color, kind](QPainter& p) {
    Screen(p);
    switch (kind) {
      case 0:  // current
        Trace(p, color, kSpectrum);
        break;
      case 1:  // previous: dashed
        Trace(p, color, kSpectrum, Qt::DashLine);
        break;
      case 2:  // video average: smooth
        Trace(p, color, {{1.5, 12.5}, {4, 11.5}, {6.5, 9}, {8, 6.5}, {9.5, 9}, {12, 11.5}, {14.5, 12.5}});
        break;
      default:  // peak hold: the trace under its held peaks
        Trace(p, QColor(0, 200, 0), kSpectrum);
        Trace(p, color, {{1.5, 11}, {4.5, 8}, {6.5, 8}, {8, 3}, {9.5, 3}, {11, 6.5}, {12.5, 6.5}, {14.5, 11}});
        break;
    }
  });
}

QPixmap SelectImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    const QPointF arrow[7] = {{3, 1}, {3, 14}, {6, 11}, {8.5, 15.5}, {10.5, 14.5}, {8, 10}, {12, 10}};
    p.setPen(Pen(Qt::black, 1.0));
    p.setBrush(Qt::white);
    p.drawPolygon(arrow, 7);
  });
}

QPixmap ZoomWindowImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    p.setPen(Pen(kBlue, 1.0, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 10, 8));
    Magnifier(p, 9.5, 9.5, 3.2);
  });
}

QPixmap ZoomImage(bool in) {
  return Draw(kToolbarImageSize, [in](QPainter& p) {
    Magnifier(p, 6.5, 6.5, 5.2);
    p.setPen(Pen(kInk, 1.6));
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    if (in) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
  });
}

void FourWayArrows(QPainter& p, double c, double r, const QColor& color, double width) {
  Arrow(p, QPointF(c, c), QPointF(c - r, c), color, width);
  Arrow(p, QPointF(c, c), QPointF(c + r, c), color, width);
  Arrow(p, QPointF(c, c), QPointF(c, c - r), color, width);
  Arrow(p, QPointF(c, c), QPointF(c, c + r), color, width);
}

QPixmap PanImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) { FourWayArrows(p, 8, 7, kInk, 1.5); });
}

QPixmap DbPerDivImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    Arrow(p, QPointF(5, 8), QPointF(5, 0.8), kInk, 1.3);
    Arrow(p, QPointF(5, 8), QPointF(5, 15.2), kInk, 1.3);
    p.setPen(Pen(QColor(200, 120, 0), 1.4));
    for (double y : {4.0, 8.0, 12.0}) p.drawLine(QPointF(8, y), QPointF(15, y));
  });
}

QPixmap SpanImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    Arrow(p, QPointF(8, 5), QPointF(0.8, 5), kInk, 1.3);
    Arrow(p, QPointF(8, 5), QPointF(15.2, 5), kInk, 1.3);
    p.setPen(Pen(QColor(200, 120, 0), 1.4));
    for (double x : {4.0, 8.0, 12.0}) p.drawLine(QPointF(x, 8), QPointF(x, 15));
  });
}

QPixmap FitViewImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    p.setPen(Pen(kInk, 1.0));
    p.setBrush(QColor(220, 235, 255));
    p.drawRect(QRectF(4.5, 4.5, 7, 7));
    Arrow(p, QPointF(4, 4), QPointF(0.8, 0.8), kBlue, 1.3);
    Arrow(p, QPointF(12, 4), QPointF(15.2, 0.8), kBlue, 1.3);
    Arrow(p, QPointF(4, 12), QPointF(0.8, 15.2), kBlue, 1.3);
    Arrow(p, QPointF(12, 12), QPointF(15.2, 15.2), kBlue, 1.3);
  });
}

QPixmap PreviousImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    QPainterPath path;
    path.moveTo(4, 7);
    path.cubicTo(5, 1.5, 14, 1.5, 14, 8);
    path.cubicTo(14, 13, 9, 14.5, 6, 13.5);
    p.setPen(Pen(kBlue, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    Triangle(p, kBlue, QPointF(0.5, 5.5), QPointF(7.5, 5.5), QPointF(3.5, 10.5));
  });
}

QPixmap ZoomCursorsImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    p.setPen(Pen(QColor(200, 0, 200), 1.2, Qt::DotLine));
    p.drawLine(QPointF(2.5, 0), QPointF(2.5, 16));
    p.drawLine(QPointF(13.5, 0), QPointF(13.5, 16));
    Magnifier(p, 7.5, 6.5, 3.6);
  });
}

QPixmap MoveImage(int kind) {
  return Draw(kToolbarImageSize, [kind](QPainter& p) {
    const QColor color(20, 130, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    switch (kind) {
      case 0:  // first
        p.drawRect(QRectF(2, 2.5, 2.2, 11));
        Triangle(p, color, QPointF(13.5, 2.5), QPointF(5, 8), QPointF(13.5, 13.5));
        break;
      case 1:  // next
        Triangle(p, color, QPointF(4, 2.5), QPointF(12.5, 8), QPointF(4, 13.5));
        break;
      case 2:  // previous
        Triangle(p, color, QPointF(12, 2.5), QPointF(3.5, 8), QPointF(12, 13.5));
        break;
      default:  // last
        Triangle(p, color, QPointF(2.5, 2.5), QPointF(11, 8), QPointF(2.5, 13.5));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawRect(QRectF(11.8, 2.5, 2.2, 11));
        break;
    }
  });
}

QPixmap CurPointImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    p.setPen(Pen(QColor(200, 150, 0), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 6), 4.2, 4.2);
    QPainterPath path;
    path.moveTo(9, 13.5);
    path.cubicTo(5, 14.5, 2, 12, 2.5, 7.5);
    p.setPen(Pen(kBlue, 1.5));
    p.drawPath(path);
    Triangle(p, kBlue, QPointF(0, 8.5), QPointF(5, 8.5), QPointF(2.5, 4.5));
  });
}

QPixmap ThresholdImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    Trace(p, QColor(20, 130, 50), {{0.5, 14}, {3, 13}, {5, 5}, {7, 12}, {9, 2}, {11, 12}, {13, 9}, {15.5, 14}});
    p.setPen(Pen(QColor(220, 0, 0), 1.6, Qt::DashDotDotLine));
    p.drawLine(QPointF(0, 8), QPointF(16, 8));
  });
}

QPixmap ConnectedImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    StatusLamp(p, QColor(30, 170, 50));
    p.setPen(Pen(Qt::white, 1.8));
    p.drawLine(QPointF(4.5, 8.5), QPointF(7, 11));
    p.drawLine(QPointF(7, 11), QPointF(11.5, 5));
  });
}

QPixmap ReadingImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    StatusLamp(p, QColor(235, 170, 0));
    Arrow(p, QPointF(4, 6), QPointF(12, 6), Qt::white, 1.4);
    Arrow(p, QPointF(12, 10.5), QPointF(4, 10.5), Qt::white, 1.4);
  });
}

QPixmap NotCommunicatingImage() {
  return Draw(kToolbarImageSize, [](QPainter& p) {
    StatusLamp(p, QColor(210, 30, 30));
    p.setPen(Pen(Qt::white, 1.8));
    p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
    p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
  });
}

void NumberLabel(QPainter& p, const QString& text, QRectF box, const QColor& color, int pixelSize) {
  QFont font;
  font.setPixelSize(pixelSize);
  font.setBold(true);
  p.setFont(font);
  p.setPen(color);
  p.drawText(box, Qt::AlignCenter, text);
}

QPixmap CursorBarImage(const QString& label) {
  return Draw(kToolbarImageSize, [label](QPainter& p) {
    p.setPen(Pen(QColor(200, 0, 200), 1.2, Qt::DotLine));
    if (label == QStringLiteral("delta")) {
      p.drawLine(QPointF(2.5, 0), QPointF(2.5, 16));
      p.drawLine(QPointF(13.5, 0), QPointF(13.5, 16));
      Triangle(p, QColor(30, 30, 30), QPointF(8, 4), QPointF(11.5, 12), QPointF(4.5, 12));
      p.setBrush(QColor(240, 240, 240));
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygonF({QPointF(8, 7), QPointF(9.6, 10.8), QPointF(6.4, 10.8)}));
      return;
    }
    p.drawLine(QPointF(5, 0), QPointF(5, 16));
    p.drawLine(QPointF(0, 11), QPointF(16, 11));
    NumberLabel(p, label, QRectF(6, 0, 10, 10), kInk, 10);
  });
}

// Pointers: white figures with a black outline, readable on any background.
void OutlinedLine(QPainter& p, QPointF a, QPointF b, Qt::PenStyle style = Qt::SolidLine) {
  p.setPen(Pen(Qt::black, 3.0));
  p.drawLine(a, b);
  p.setPen(Pen(Qt::white, 1.2, style));
  p.drawLine(a, b);
}

void Crosshair(QPainter& p) {
  OutlinedLine(p, QPointF(16, 2), QPointF(16, 12));
  OutlinedLine(p, QPointF(16, 20), QPointF(16, 30));
  OutlinedLine(p, QPointF(2, 16), QPointF(12, 16));
  OutlinedLine(p, QPointF(20, 16), QPointF(30, 16));
}

QPixmap PointerMagnifier(int sign) {
  return Draw(kPointerSize, [sign](QPainter& p) {
    p.setPen(Pen(Qt::black, 5.0));
    p.drawLine(QPointF(20, 20), QPointF(29, 29));
    p.setPen(Pen(Qt::white, 2.5));
    p.drawLine(QPointF(20, 20), QPointF(29, 29));
    p.setPen(Pen(Qt::black, 2.0));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    if (sign != 0) {
      p.setPen(Pen(Qt::black, 2.2));
      p.drawLine(QPointF(9, 13), QPointF(17, 13));
      if (sign > 0) p.drawLine(QPointF(13, 9), QPointF(13, 17));
    }
  });
}

QPixmap PointerZoomWindow() {
  return Draw(kPointerSize, [](QPainter& p) {
    Crosshair(p);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(Qt::black, 3.0));
    p.drawRect(QRectF(19, 19, 11, 9));
    p.setPen(Pen(Qt::white, 1.2, Qt::DashLine));
    p.drawRect(QRectF(19, 19, 11, 9));
  });
}

QPixmap PointerPan() {
  return Draw(kPointerSize, [](QPainter& p) {
    FourWayArrows(p, 16, 13, Qt::black, 4.0);
    FourWayArrows(p, 16, 13, Qt::white, 1.8);
  });
}

QPixmap PointerCursor(const QString& label) {
  return Draw(kPointerSize, [label](QPainter& p) {
    Crosshair(p);
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    QPainterPath path;
    path.addText(QPointF(20, 12), font, label);
    p.setPen(Pen(Qt::black, 2.5));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.drawPath(path);
  });
}

QPixmap PointerThreshold() {
  return Draw(kPointerSize, [](QPainter& p) {
    OutlinedLine(p, QPointF(16, 4), QPointF(16, 12));
    OutlinedLine(p, QPointF(16, 20), QPointF(16, 28));
    OutlinedLine(p, QPointF(1, 16), QPointF(31, 16), Qt::DashDotDotLine);
  });
}

QPixmap PointerCross() {
  return Draw(kPointerSize, [](QPainter& p) { Crosshair(p); });
}

}  // namespace

void BuildToolbarImages(forms::ImageList& list) {
  list.Add(ExportImage(), "Export");
  list.Add(StopGoImage(), "StopGo");
  list.Add(SingleStepImage(), "SingleStep");
  list.Add(TraceImage(QColor(0, 220, 0), 0), "CurrentTrace");
  list.Add(TraceImage(QColor(255, 0, 255), 3), "PeakHold");
  list.Add(TraceImage(QColor(0, 230, 230), 2), "VideoAverage");
  list.Add(ConnectedImage(), "Connected");
  list.Add(ReadingImage(), "Reading");
  list.Add(NotCommunicatingImage(), "NotCommunicating");
  list.Add(TraceImage(QColor(70, 110, 255), 1), "LastTrace");
  list.Add(SelectImage(), "Select");
  list.Add(ZoomWindowImage(), "ZoomWin");
  list.Add(ZoomImage(true), "ZoomIn");
  list.Add(ZoomImage(false), "ZoomOut");
  list.Add(PanImage(), "Pan");
  list.Add(DbPerDivImage(), "dBperDiv");
  list.Add(SpanImage(), "FSpan");
  list.Add(FitViewImage(), "ZoomFitView");
  list.Add(PreviousImage(), "Previous");
  list.Add(ZoomCursorsImage(), "ZoomCursors");
  list.Add(MoveImage(0), "FirstPoint");
  list.Add(MoveImage(1), "NextPoint");
  list.Add(MoveImage(2), "PreviousPoint");
  list.Add(MoveImage(3), "LastPoint");
  list.Add(CurPointImage(), "CurPoint");
  list.Add(ThresholdImage(), "PeakThreshold");
}

void BuildCursorBarImages(forms::ImageList& list) {
  list.Add(CursorBarImage(QStringLiteral("1")), "Cursor1");
  list.Add(CursorBarImage(QStringLiteral("2")), "Cursor2");
  list.Add(CursorBarImage(QStringLiteral("delta")), "CursorDelta");
}

void BuildPointerImages(forms::ImageList& list) {
  const QPoint centre(kPointerSize / 2, kPointerSize / 2);
  const QPoint lens(13, 13);
  list.Add(PointerZoomWindow(), "ZoomWin", centre);
  list.Add(PointerMagnifier(1), "ZoomIn", lens);
  list.Add(PointerMagnifier(-1), "ZoomOut", lens);
  list.Add(PointerCross(), "Cross", centre);
  list.Add(PointerPan(), "Pan", centre);
  list.Add(PointerCursor(QStringLiteral("1")), "Cursor1", centre);
  list.Add(PointerCursor(QStringLiteral("2")), "Cursor2", centre);
  list.Add(PointerThreshold(), kPointerPeakThreshold, centre);
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    icon.addPixmap(Draw(size, [size](QPainter& p) {
      const double s = size / 16.0;
      p.scale(s, s);
      p.setPen(Pen(QColor(120, 120, 120), 0.8));
      p.setBrush(kScreen);
      p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 1.5, 1.5);
      p.setPen(Pen(QColor(70, 70, 70), 0.5));
      for (double v : {4.0, 8.0, 12.0}) {
        p.drawLine(QPointF(1, v), QPointF(15, v));
        p.drawLine(QPointF(v, 1), QPointF(v, 15));
      }
      p.setPen(Pen(QColor(0, 230, 0), 1.1));
      p.drawPolyline(kSpectrum.data(), static_cast<int>(kSpectrum.size()));
      p.setPen(Pen(QColor(255, 220, 0), 0.9));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(8, 4), 1.8, 1.8);
    }));
  }
  return icon;
}

}  // namespace specterm
