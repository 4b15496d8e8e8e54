#pragma once

// One-pixel lines laid straight into a 32-bit image, for the picture box's
// pens that the painter would draw pixel by pixel anyway: solid or styled,
// copying the pen's colour or inverting what lies beneath. A plot of a few
// thousand short trace segments and a grid of long lines costs the painter
// a span blend per pixel; here a pixel is one store.

#include <QPoint>

#include <cstdint>
#include <span>

namespace forms {

// What a pen lays down: its colour (0xFFRRGGBB) in copy mode, or the
// inverse of the pixel beneath; and its dash pattern in pixels, on and off
// in turn, starting with a dash at the line's first pixel (empty: solid).
struct PixelPen {
  std::uint32_t Color = 0xFF000000;
  bool Invert = false;
  std::span<const std::uint8_t> Pattern;
};

// The dash pattern of a DrawStyle value for a one-pixel pen.
std::span<const std::uint8_t> PixelPattern(int drawStyle);

// A 32-bit image's pixels, rows of Stride pixels.
struct PixelCanvas {
  std::uint32_t* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0;
};

// The pixels of the line from a to b, leaving out b, each touched once;
// pixels outside the canvas are skipped.
void DrawPixelLine(const PixelCanvas& canvas, QPoint a, QPoint b, const PixelPen& pen);

// The rectangle of pixels x0..x1, y0..y1 (inclusive), cut to the canvas.
void FillPixels(const PixelCanvas& canvas, int x0, int y0, int x1, int y1, const PixelPen& pen);

}  // namespace forms
