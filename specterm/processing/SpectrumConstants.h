#pragma once

// Sizes and fixed values of the spectrum processing chain: the modem's sample
// block, the transform, the trace store and the amplitude scale.

#include <cstddef>

namespace specterm {

// The "spectrum:" block: 2 status bytes, 4 centre-frequency bytes, 2 rate
// exponent bytes, 22 reserved, two sample sections, 2 trailer bytes.
inline constexpr std::size_t kBlockLength = 8224;
inline constexpr std::size_t kHeaderLength = 30;
inline constexpr std::size_t kSampleCount = 4096;  // samples per section = transform length
inline constexpr unsigned kMaxRateExponent = 12;
inline constexpr double kCenterFieldDivisor = 1000.0;  // centre field steps of 100 Hz -> units of 0.1 MHz
inline constexpr double kRateNumerator = 1000.0;       // SampleRate = 1000 / RateDivisor
inline constexpr double kTenthsPerMHz = 10.0;          // rates and frequencies are in units of 0.1 MHz
inline constexpr unsigned char kPaddingByte = 32;      // a short block is padded with spaces
inline constexpr std::size_t kStuckStartLength = 8;

// The transform keeps the lowest and highest quarter of the bins: the bins
// within a quarter of the rate of the centre.
inline constexpr std::size_t kPointCount = 2048;
inline constexpr std::size_t kPositiveBins = 1024;      // points 1..1024 are bins 0..1023
inline constexpr std::size_t kFirstNegativeBin = 3072;  // points 1025..2048 are bins 3072..4095

// Rows of the trace store.
inline constexpr std::size_t kTraceRows = 4;
enum TraceRow : int { kCurrentRow = 0, kPreviousRow = 1, kVideoAverageRow = 2, kPeakHoldRow = 3 };

// Start-up values of the frequency axis, before the first block.
inline constexpr double kInitialRateDivisor = 4.0;
inline constexpr double kInitialCenterFreq = 700.0;
inline constexpr double kInitialSampleRate = 250.0;
inline constexpr float kInitialBandLow = 550.0f;   // 700 - 0.6 x 250
inline constexpr float kInitialBandHigh = 850.0f;  // 700 + 0.6 x 250
inline constexpr float kInitialSpanScale = 1.0f;
inline constexpr const char* kInitialFreqFormat = "##0.000MHz";
inline constexpr double kBandEdgeFraction = 0.3;  // band edges at centre -/+ 0.3 x rate

// The amplitude scale of the plot space (dB) and its re-fit.
inline constexpr float kInitialAmpFloor = -125.0f;
inline constexpr float kInitialAmpCeiling = 125.0f;
inline constexpr float kInitialAmpRange = 250.0f;
inline constexpr double kRefitShrinkFraction = 0.6;  // re-fit when the data spread falls below this share
inline constexpr double kRefitHeadroom = 0.25;       // share of the spread shown above the highest value
inline constexpr double kRefitFootroom = 0.1;        // share of the spread shown below the lowest value
inline constexpr float kExtremeStart = 32000.0f;     // running extremes start at -/+ this

// The window of the samples uses pi to six digits.
inline constexpr double kWindowPi = 3.14159;

// Horizontal scroll bar after a re-fit.
inline constexpr int kHScrollMin = 0;
inline constexpr int kHScrollMax = 100;
inline constexpr int kHScrollCentre = 50;

// The counters of the accumulating traces wrap to 0 at the largest Long.
inline constexpr int kCounterWrap = 2147483647;

// The first data sets end with a fit of the view: until this many are in
// the store, the current and previous rows are no complete pair.
inline constexpr int kFirstTraceDataSets = 2;

}  // namespace specterm
