#include "SampleBlock.h"

#include "vbformat/VbFormat.h"

#include <algorithm>
#include <cmath>

namespace specterm {

namespace {

constexpr std::size_t kStatusOffset = 0;
constexpr std::size_t kCenterOffset = 2;
constexpr std::size_t kRateOffset = 6;
constexpr std::size_t kFirstSectionOffset = kHeaderLength;
constexpr std::size_t kSecondSectionOffset = kFirstSectionOffset + kSampleCount;
constexpr std::size_t kTrailerOffset = kSecondSectionOffset + kSampleCount;
static_assert(kTrailerOffset + 2 == kBlockLength);

constexpr const char* kSpanCaptionFormat = "#0.0000MHz Span";

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

void CopySection(std::span<const std::uint8_t> block, std::size_t offset, Section& section) {
  const std::size_t available = offset < block.size() ? std::min(kSampleCount, block.size() - offset) : 0;
  if (available > 0) std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(offset), available, section.begin());
  std::fill(section.begin() + static_cast<std::ptrdiff_t>(available), section.end(), kPaddingByte);
}

bool StuckStart(const Section& section) {
  return std::all_of(section.begin(), section.begin() + kStuckStartLength,
                     [&](std::uint8_t b) { return b == section[0]; });
}

struct DecodeTable {
  std::array<float, 256> values{};
  constexpr DecodeTable() {
    for (int b = 0; b < 256; ++b) values[static_cast<std::size_t>(b)] = DecodeSample(static_cast<std::uint8_t>(b));
  }
};
constexpr DecodeTable kDecode;

void Decode(const Section& section, std::array<float, kSampleCount>& out) {
  for (std::size_t i = 0; i < kSampleCount; ++i) out[i] = kDecode.values[section[i]];
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
  std::array<std::string, kSpanPresetCount> captions;
  for (std::size_t i = 0; i < kSpanPresetCount; ++i)
    captions[i] = vb::Format(kSpanPresetWidths[i] / static_cast<double>(spanScale), kSpanCaptionFormat);
  return captions;
}

void ParseBlock(std::span<const std::uint8_t> block, SampleBlock& into) {
  // Step 1: fixed pieces, padded on the right with spaces.
  into.StatusWord = static_cast<std::uint16_t>(BigEndian(block, kStatusOffset, 2));
  into.CenterField = BigEndian(block, kCenterOffset, 4);
  into.RateExponent = static_cast<std::uint16_t>(BigEndian(block, kRateOffset, 2));
  into.TrailerWord = static_cast<std::uint16_t>(BigEndian(block, kTrailerOffset, 2));
  Section first;
  Section second;
  CopySection(block, kFirstSectionOffset, first);
  CopySection(block, kSecondSectionOffset, second);

  // Step 2: centre frequency and rate divisor 2^(k+1), k limited to 12.
  into.CenterFreq = static_cast<double>(into.CenterField) / kCenterFieldDivisor;
  const unsigned k = std::min<unsigned>(into.RateExponent, kMaxRateExponent);
  into.RateDivisor = std::ldexp(1.0, static_cast<int>(k + 1));

  // Step 3: stuck-start repair. When both sections begin with eight equal
  // bytes, the capture latched its first sample before the converter had
  // settled; the first byte of each section is replaced by its ninth, the
  // first sample known to be fresh.
  if (StuckStart(first) && StuckStart(second)) {
    first[0] = first[kStuckStartLength];
    second[0] = second[kStuckStartLength];
  }

  // Steps 4, 5 and 7: band edges, span and display multiplier.
  into.SampleRate = kRateNumerator / into.RateDivisor;
  const float low = static_cast<float>(into.CenterFreq - kBandEdgeFraction * into.SampleRate);
  const float high = static_cast<float>(into.CenterFreq + kBandEdgeFraction * into.SampleRate);
  const float span = high - low;
  const SpanChoice choice = ChooseSpanScale(span);
  // Step 6: the captions depend only on SpanScale.
  if (choice.SpanScale != into.SpanScale || into.SpanCaptions[0].empty())
    into.SpanCaptions = SpanPresetCaptions(choice.SpanScale);
  into.SpanScale = choice.SpanScale;
  into.FreqFormat = choice.FreqFormat;
  into.BandLow = low * into.SpanScale;
  into.BandHigh = high * into.SpanScale;

  // Step 8: the samples.
  Decode(first, into.IData);
  Decode(second, into.QData);
}

void ParseBlock(std::string_view block, SampleBlock& into) {
  ParseBlock(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(block.data()), block.size()), into);
}

}  // namespace specterm
