#pragma once

// Window layouts are measured in twips: 15 twips per logical pixel,
// the classic 96-DPI ratio.
inline constexpr int kTwipsPerPixel = 15;

constexpr double PixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }
constexpr double TwipsToPixels(double twips) { return twips / kTwipsPerPixel; }
