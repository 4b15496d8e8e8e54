#include "forms/PixelLines.h"

#include "forms/PictureBox.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace forms {
namespace {

// The classic one-pixel patterns: dashes of 4, dots of 1, gaps of 2.
constexpr std::array<std::uint8_t, 2> kDash = {4, 2};
constexpr std::array<std::uint8_t, 2> kDot = {1, 2};
constexpr std::array<std::uint8_t, 4> kDashDot = {4, 2, 1, 2};
constexpr std::array<std::uint8_t, 6> kDashDotDot = {4, 2, 1, 2, 1, 2};

constexpr std::uint32_t kColorBits = 0x00FFFFFF;

inline void Put(std::uint32_t& pixel, const PixelPen& pen) { pixel = pen.Invert ? pixel ^ kColorBits : pen.Color; }

// Walks the pattern one pixel at a time.
class Dashes {
 public:
  explicit Dashes(std::span<const std::uint8_t> pattern) : pattern_(pattern), left_(pattern.empty() ? 0 : pattern[0]) {}
  // Whether the current pixel is drawn; then moves to the next.
  bool Next() {
    if (pattern_.empty()) return true;
    const bool on = index_ % 2 == 0;
    if (--left_ == 0) {
      index_ = (index_ + 1) % pattern_.size();
      left_ = pattern_[index_];
    }
    return on;
  }

 private:
  std::span<const std::uint8_t> pattern_;
  std::size_t index_ = 0;
  int left_;
};

}  // namespace

std::span<const std::uint8_t> PixelPattern(int drawStyle) {
  switch (drawStyle) {
    case vbDash:
      return kDash;
    case vbDot:
      return kDot;
    case vbDashDot:
      return kDashDot;
    case vbDashDotDot:
      return kDashDotDot;
    default:
      return {};
  }
}

void FillPixels(const PixelCanvas& canvas, int x0, int y0, int x1, int y1, const PixelPen& pen) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, canvas.Width - 1);
  y1 = std::min(y1, canvas.Height - 1);
  for (int y = y0; y <= y1; ++y) {
    std::uint32_t* row = canvas.Bits + static_cast<std::ptrdiff_t>(y) * canvas.Stride;
    if (pen.Invert)
      for (int x = x0; x <= x1; ++x) row[x] ^= kColorBits;
    else if (x0 <= x1)
      std::fill(row + x0, row + x1 + 1, pen.Color);
  }
}

void DrawPixelLine(const PixelCanvas& canvas, QPoint a, QPoint b, const PixelPen& pen) {
  const int dx = b.x() - a.x();
  const int dy = b.y() - a.y();
  const int adx = std::abs(dx);
  const int ady = std::abs(dy);
  const int steps = std::max(adx, ady);
  if (steps == 0) return;
  // Solid lines along a row or a column, as the grid's are.
  if (pen.Pattern.empty() && dy == 0) {
    const int low = dx > 0 ? a.x() : b.x() + 1;
    FillPixels(canvas, low, a.y(), low + steps - 1, a.y(), pen);
    return;
  }
  if (pen.Pattern.empty() && dx == 0) {
    const int low = dy > 0 ? a.y() : b.y() + 1;
    FillPixels(canvas, a.x(), low, a.x(), low + steps - 1, pen);
    return;
  }
  const int sx = dx > 0 ? 1 : -1;
  const int sy = dy > 0 ? 1 : -1;
  const bool xMajor = adx >= ady;
  const int major = xMajor ? adx : ady;
  const int minor = xMajor ? ady : adx;
  // A line whose ends lie on the canvas lies on it throughout: solid, it
  // takes the plain loop, one store a pixel.
  const auto width = static_cast<unsigned>(canvas.Width);
  const auto height = static_cast<unsigned>(canvas.Height);
  const bool inside = static_cast<unsigned>(a.x()) < width && static_cast<unsigned>(a.y()) < height &&
                      static_cast<unsigned>(b.x()) < width && static_cast<unsigned>(b.y()) < height;
  if (inside && pen.Pattern.empty() && !pen.Invert) {
    const std::ptrdiff_t stepMajor = xMajor ? sx : sy * static_cast<std::ptrdiff_t>(canvas.Stride);
    const std::ptrdiff_t stepMinor = xMajor ? sy * static_cast<std::ptrdiff_t>(canvas.Stride) : sx;
    std::uint32_t* p = canvas.Bits + static_cast<std::ptrdiff_t>(a.y()) * canvas.Stride + a.x();
    int error = 2 * minor - major;
    for (int i = 0; i < steps; ++i) {
      *p = pen.Color;
      if (error > 0) {
        p += stepMinor;
        error -= 2 * major;
      }
      error += 2 * minor;
      p += stepMajor;
    }
    return;
  }
  // Bresenham along the major axis, the same pixels as the loop above.
  int error = 2 * minor - major;
  int x = a.x();
  int y = a.y();
  Dashes dashes(pen.Pattern);
  for (int i = 0; i < steps; ++i) {
    if (dashes.Next() && static_cast<unsigned>(x) < width && static_cast<unsigned>(y) < height)
      Put(canvas.Bits[static_cast<std::ptrdiff_t>(y) * canvas.Stride + x], pen);
    if (error > 0) {
      if (xMajor)
        y += sy;
      else
        x += sx;
      error -= 2 * major;
    }
    error += 2 * minor;
    if (xMajor)
      x += sx;
    else
      y += sy;
  }
}

}  // namespace forms
