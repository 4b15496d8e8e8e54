#include "SampleBlock.h"

#include "SpectrumKernels.h"
#include "vbformat/VbFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace specterm {

namespace {

constexpr std::size_t kStatusOffset = 0;
constexpr std::size_t kCenterOffset = 2;
constexpr std::size_t kRateOffset = 6;
constexpr std::size_t kFirstSectionOffset = kHeaderLength;
constexpr std::size_t kSecondSectionOffset = kFirstSectionOffset + kSampleCount;
constexpr std::size_t kTrailerOffset = kSecondSectionOffset + kSampleCount;
static_assert(kTrailerOffset + 2 == kBlockLength);

// Four decimals name every preset up to SpanScale 100; each further power
// of ten needs one more.
constexpr int kSpanCaptionDecimals = 4;
constexpr int kSpanCaptionPlainScaleDigits = 2;
constexpr double kMaxScaleDigits = 8.0;

// Byte at a position of the block, or the padding byte beyond its end.
std::uint8_t ByteAt(std::span<const std::uint8_t> block, std::size_t offset) {
  return offset < block.size() ? block[offset] : kPaddingByte;
}

std::uint32_t BigEndian(std::span<const std::uint8_t> block, std::size_t offset, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = (value << 8) | ByteAt(block, offset + i);
  return value;
}

// A sample section, padded where the block ends early.
using Section = std::array<std::uint8_t, kSampleCount>;

// The section's bytes: in the block itself when it is complete, else in
// `padded`, filled with what the block has and spaces after that.
const std::uint8_t* SectionBytes(std::span<const std::uint8_t> block, std::size_t offset, Section& padded) {
  if (block.size() >= offset + kSampleCount) return block.data() + offset;
  const std::size_t available = offset < block.size() ? block.size() - offset : 0;
  if (available > 0) std::copy_n(block.data() + offset, available, padded.begin());
  std::fill(padded.begin() + static_cast<std::ptrdiff_t>(available), padded.end(), kPaddingByte);
  return padded.data();
}

bool StuckStart(const std::uint8_t* section) {
  return std::all_of(section, section + kStuckStartLength, [&](std::uint8_t b) { return b == section[0]; });
}

}  // namespace

SampleBlock::SampleBlock() : SpanCaptions(SpanPresetCaptions(kInitialSpanScale)) {}

SpanChoice ChooseSpanScale(float span) {
  if (span >= 100.0f) return {1.0f, "##0.000MHz"};
  if (span >= 10.0f) return {10.0f, "##0.0000MHz"};
  if (span >= 1.0f) return {100.0f, "##0.00000MHz"};
  if (span >= 0.1f) return {1000.0f, "##0.000000MHz"};
  if (span >= 0.01f) return {10000.0f, "##0.0000000MHz"};
  return {100000.0f, "##0.00000000MHz"};
}

std::array<std::string, kSpanPresetCount> SpanPresetCaptions(float spanScale) {
  const double scaleDigits =
      std::clamp(std::round(std::log10(std::max(1.0, static_cast<double>(spanScale)))), 0.0, kMaxScaleDigits);
  const int decimals = kSpanCaptionDecimals + std::max(0, static_cast<int>(scaleDigits) - kSpanCaptionPlainScaleDigits);
  const std::string format = "#0." + std::string(static_cast<std::size_t>(decimals), '0') + "MHz Span";
  std::array<std::string, kSpanPresetCount> captions;
  for (std::size_t i = 0; i < kSpanPresetCount; ++i)
    captions[i] = vb::Format(kSpanPresetWidths[i] / static_cast<double>(spanScale), format);
  return captions;
}

namespace {

// The band edges in plot x units, for the header's centre and rate.
struct Band {
  float Low;
  float High;
  SpanChoice Choice;
};

Band BandOf(std::uint32_t centerField, std::uint16_t rateExponent, double& centerFreq, double& rateDivisor,
            double& sampleRate) {
  // Step 2: centre frequency and rate divisor 2^(k+1), k limited to 12.
  centerFreq = static_cast<double>(centerField) / kCenterFieldDivisor;
  const unsigned k = std::min<unsigned>(rateExponent, kMaxRateExponent);
  rateDivisor = std::ldexp(1.0, static_cast<int>(k + 1));
  // Steps 4, 5 and 7: band edges, span and display multiplier.
  sampleRate = kRateNumerator / rateDivisor;
  const float low = static_cast<float>(centerFreq - kBandEdgeFraction * sampleRate);
  const float high = static_cast<float>(centerFreq + kBandEdgeFraction * sampleRate);
  const SpanChoice choice = ChooseSpanScale(high - low);
  return {low * choice.SpanScale, high * choice.SpanScale, choice};
}

// Distinct single-precision values the band must span to be drawn.
constexpr float kMinBandSteps = 16.0f;

}  // namespace

bool BandDrawable(std::span<const std::uint8_t> block) {
  double centerFreq = 0;
  double rateDivisor = 0;
  double sampleRate = 0;
  const Band band =
      BandOf(BigEndian(block, kCenterOffset, 4), static_cast<std::uint16_t>(BigEndian(block, kRateOffset, 2)),
             centerFreq, rateDivisor, sampleRate);
  const float edge = std::max(std::abs(band.Low), std::abs(band.High));
  const float step = std::nextafter(edge, std::numeric_limits<float>::infinity()) - edge;
  return std::isfinite(band.High - band.Low) && band.High - band.Low >= kMinBandSteps * step;
}

bool BandDrawable(std::string_view block) {
  return BandDrawable(std::span(reinterpret_cast<const std::uint8_t*>(block.data()), block.size()));
}

void ParseBlock(std::span<const std::uint8_t> block, SampleBlock& into) {
  // Step 1: fixed pieces, padded on the right with spaces.
  into.StatusWord = static_cast<std::uint16_t>(BigEndian(block, kStatusOffset, 2));
  into.CenterField = BigEndian(block, kCenterOffset, 4);
  into.RateExponent = static_cast<std::uint16_t>(BigEndian(block, kRateOffset, 2));
  into.TrailerWord = static_cast<std::uint16_t>(BigEndian(block, kTrailerOffset, 2));
  Section firstPadded;
  Section secondPadded;
  const std::uint8_t* first = SectionBytes(block, kFirstSectionOffset, firstPadded);
  const std::uint8_t* second = SectionBytes(block, kSecondSectionOffset, secondPadded);

  // Step 3 (stuck-start repair) is applied after decoding, below.
  const bool stuckStart = StuckStart(first) && StuckStart(second);

  const Band band = BandOf(into.CenterField, into.RateExponent, into.CenterFreq, into.RateDivisor, into.SampleRate);
  const SpanChoice& choice = band.Choice;
  // Step 6: the captions depend only on SpanScale.
  if (choice.SpanScale != into.SpanScale || into.SpanCaptions[0].empty())
    into.SpanCaptions = SpanPresetCaptions(choice.SpanScale);
  into.SpanScale = choice.SpanScale;
  into.FreqFormat = choice.FreqFormat;
  into.BandLow = band.Low;
  into.BandHigh = band.High;

  // Step 8: the samples.
  DecodeSamples(first, into.IData.data(), kSampleCount);
  DecodeSamples(second, into.QData.data(), kSampleCount);

  // Stuck-start repair: when both sections begin with eight equal bytes, the
  // capture latched its first sample before the converter had settled; the
  // first byte of each section is replaced by its ninth, the first sample
  // known to be fresh.
  if (stuckStart) {
    into.IData[0] = DecodeSample(first[kStuckStartLength]);
    into.QData[0] = DecodeSample(second[kStuckStartLength]);
  }
}

void ParseBlock(std::string_view block, SampleBlock& into) {
  ParseBlock(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(block.data()), block.size()), into);
}

}  // namespace specterm
