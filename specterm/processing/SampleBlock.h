#pragma once

// Decoding of the block read from the modem's "spectrum:" pseudo-file: the
// header's centre frequency and rate exponent become the frequency axis of
// the next data set, the two sample sections become IData and QData.

#include "SpectrumConstants.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace specterm {

inline constexpr std::size_t kSpanPresetCount = 10;
// The span presets in units of 0.1 MHz at SpanScale 1, smallest first.
inline constexpr std::array<double, kSpanPresetCount> kSpanPresetWidths = {0.02, 0.05, 0.1, 0.25, 0.5,
                                                                           1,    2.5,  5,   10,   25};

// Everything ParseBlock produces. The defaults are the start-up values used
// before the first block arrives.
struct SampleBlock {
  // Header fields as received.
  std::uint16_t StatusWord = 0;    // not interpreted
  std::uint32_t CenterField = 0;   // centre frequency in steps of 100 Hz
  std::uint16_t RateExponent = 0;  // k as received (values above 12 act as 12)
  std::uint16_t TrailerWord = 0;   // not interpreted

  // The frequency axis (units of 0.1 MHz; band edges in plot x units).
  double RateDivisor = kInitialRateDivisor;
  double CenterFreq = kInitialCenterFreq;
  double SampleRate = kInitialSampleRate;
  float BandLow = kInitialBandLow;
  float BandHigh = kInitialBandHigh;
  float SpanScale = kInitialSpanScale;
  std::string FreqFormat = kInitialFreqFormat;

  // Captions of the ten span presets (View menu items and the drop-down
  // entries of the "FSpan" toolbar button), for the SpanScale above.
  std::array<std::string, kSpanPresetCount> SpanCaptions;

  // The samples, as decoded; the update never changes them.
  alignas(64) std::array<float, kSampleCount> IData{};
  alignas(64) std::array<float, kSampleCount> QData{};

  SampleBlock();
};

// The resolution bandwidth of a data set in kHz: the sample rate (units of
// 0.1 MHz) over the transform length.
constexpr double ResolutionBandwidthKHz(double sampleRate) {
  return sampleRate * 100.0 / static_cast<double>(kSampleCount);
}

// One sample byte: b for b < 128, else b - 255.5 (128 -> -127.5, 255 -> -0.5).
constexpr float DecodeSample(std::uint8_t b) {
  return b < 128 ? static_cast<float>(b) : static_cast<float>(b) - 255.5f;
}

// The SpanScale and FreqFormat for a band span (units of 0.1 MHz).
struct SpanChoice {
  float SpanScale;
  const char* FreqFormat;
};
SpanChoice ChooseSpanScale(float span);

// The ten span preset captions for a SpanScale ("0.0200MHz Span" ...).
std::array<std::string, kSpanPresetCount> SpanPresetCaptions(float spanScale);

// Decodes a block into `into`. Blocks shorter than 8224 bytes decode as if
// padded with spaces; bytes beyond 8224 are ignored. The captions are only
// re-formatted when SpanScale changes.
void ParseBlock(std::span<const std::uint8_t> block, SampleBlock& into);
void ParseBlock(std::string_view block, SampleBlock& into);

// Whether the band a block's header describes can be drawn. The plot's
// coordinates are single precision: at the highest centre frequencies with
// the narrowest rates the band edges fall on fewer than a handful of
// distinct values, and the view would have no width.
bool BandDrawable(std::span<const std::uint8_t> block);
bool BandDrawable(std::string_view block);

}  // namespace specterm
