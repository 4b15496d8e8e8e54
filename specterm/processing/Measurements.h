#pragma once

// The measurements of one trace row: between two frequencies (the band) its
// power, the noise per point outside it, carrier to noise, the 99 %
// occupied bandwidth and its highest point; over the whole row, a table of
// its peaks by prominence. Levels are the analyzer's dB, relative to the
// modem's sample scale.
//
// Points are taken in frequency order: a row in the transform's order holds
// the upper frequencies in its first half and the lower ones in its second,
// so frequency order is the second half followed by the first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace specterm {

// The share of a band's power outside its occupied bandwidth, half each side.
inline constexpr double kOccupiedShare = 0.99;
// Default prominence of a peak in the table, in dB, and table length.
inline constexpr double kDefaultExcursion = 6.0;
inline constexpr int kDefaultPeakCount = 10;

// One trace row as the measurements read it.
struct MeasuredRow {
  std::span<const float> X;  // plot x of each point, in the transform's order
  std::span<const float> Y;  // level of each point in dB
  float SpanScale = 1.0f;    // frequency in MHz = x / 10 / SpanScale
};

struct MeasureSettings {
  // The two band edges in MHz, in either order; none without a band.
  std::optional<double> BandFrom;
  std::optional<double> BandTo;
  // Equivalent noise bandwidth of the transform's window, in points.
  double Enbw = 1.0;
  float MinPeakThreshold = 0.0f;
  double Excursion = kDefaultExcursion;
  int PeakCount = kDefaultPeakCount;
};

// A point of the row: its 1-based number, frequency and level.
struct PointLevel {
  std::int32_t Point = 0;
  double MHz = 0.0;
  double dB = 0.0;
};

struct BandMeasurement {
  double LowMHz = 0.0;
  double HighMHz = 0.0;
  int Points = 0;  // points with LowMHz <= f <= HighMHz
  // Each is missing where it cannot be had: an empty band has no power,
  // bandwidth or peak; without points outside the band there is no noise;
  // C/N needs the band's power above its noise (S > n N0).
  std::optional<double> BandPower;          // dB
  std::optional<double> NoisePerPoint;      // dB
  std::optional<double> CarrierToNoise;     // dB
  std::optional<double> OccupiedBandwidth;  // MHz
  std::optional<PointLevel> PeakInBand;
};

struct Measurements {
  std::optional<BandMeasurement> Band;  // with both band edges
  std::vector<PointLevel> Peaks;        // highest first
};

// Equivalent noise bandwidth of the window the update uses, in points:
// 4096 sum(w^2) / (sum w)^2; 1 without the window.
double WindowEnbw(bool windowed);

// Measures a row. X and Y must be of one (even) length.
Measurements Measure(const MeasuredRow& row, const MeasureSettings& settings);

// The local maxima of the row in frequency order (higher than both
// neighbours) whose prominence is at least `excursion` dB and whose level
// is at least the threshold: at most `count`, highest first (equal levels
// in frequency order). A peak's prominence is its height above the higher
// of the lowest points on either side between it and the nearest strictly
// higher point, or the end of the row.
std::vector<PointLevel> FindPeaks(const MeasuredRow& row, float minPeakThreshold, double excursion, int count);

// ----- Texts -----
// A value in the measurement texts: dB and MHz with fixed decimals, "n/a"
// where a value is missing.
std::string DecibelText(std::optional<double> dB);
std::string MegahertzText(std::optional<double> mhz);
// "POINT FREQUENCY MHz LEVEL dB".
std::string PointLevelText(const PointLevel& point);

// The measurements as "name: value unit" lines, in the order "band",
// "points", "band power", "noise per point", "C/N", "occupied bandwidth",
// "peak in band", then "peak RANK: ..." for each peak. The band lines are
// left out without a band.
std::vector<std::string> MeasurementLines(const Measurements& measurements);

}  // namespace specterm
