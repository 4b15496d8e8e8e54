#pragma once

// The arithmetic and texts of the constellation plot; the drawing itself is
// CConstellationMonitor::Draw.

#include <string>

class QFont;

namespace orbscope {

// Red, green and blue of the grey title band.
inline constexpr int kBandGrey = 160;

// p0 + (p1 - p0) * (v - lo) / (hi - lo), truncated toward zero.
int MapToPixel(double v, double lo, double hi, int p0, int p1);

// One decimal; "Inf" for an EVM of an ideal constellation (no error at all).
std::string FormatDb(double value);

// The title band's text for a status (model * 256 + modulation), the EVM
// and, when statistics are on, minimum, maximum and average.
std::string FormatTitle(unsigned status, double evm, bool statisticsOn, double minimum, double maximum, double average);

// The window's font, in which the title is written and the marker size is
// measured: the platform's sans font at the size of the classic system font.
QFont PlotFont();

}  // namespace orbscope
