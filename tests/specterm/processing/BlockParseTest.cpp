// Decoding of "spectrum:" blocks: header fields, rate exponent limits, span
// scale and label format, sample decoding, padding and the stuck-start repair.

#include "TestBlocks.h"
#include "processing/SampleBlock.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using specterm::ParseBlock;
using specterm::SampleBlock;

std::unique_ptr<SampleBlock> Parse(const std::string& bytes) {
  auto block = std::make_unique<SampleBlock>();
  ParseBlock(std::string_view(bytes), *block);
  return block;
}

TEST(ParseBlock, DecodesTheBigEndianHeaderFields) {
  // 0x000AAE60 = 700000 steps of 100 Hz = 70 MHz = 700 units of 0.1 MHz.
  const auto block = Parse(blocks::ZeroBlock(700000, 1));
  EXPECT_EQ(block->StatusWord, 0x1234);
  EXPECT_EQ(block->CenterField, 700000u);
  EXPECT_EQ(block->RateExponent, 1);
  EXPECT_EQ(block->TrailerWord, 0x5678);
  EXPECT_DOUBLE_EQ(block->CenterFreq, 700.0);
  EXPECT_DOUBLE_EQ(block->RateDivisor, 4.0);
  EXPECT_DOUBLE_EQ(block->SampleRate, 250.0);
  // k = 1: span of exactly 150, no extra scale.
  EXPECT_EQ(block->SpanScale, 1.0f);
  EXPECT_EQ(block->FreqFormat, "##0.000MHz");
  EXPECT_EQ(block->BandLow, 625.0f);
  EXPECT_EQ(block->BandHigh, 775.0f);
  EXPECT_EQ(block->BandHigh - block->BandLow, 150.0f);
}

TEST(ParseBlock, RateExponentZeroGivesTheWidestBand) {
  const auto block = Parse(blocks::ZeroBlock(1400000, 0));
  EXPECT_DOUBLE_EQ(block->RateDivisor, 2.0);
  EXPECT_DOUBLE_EQ(block->SampleRate, 500.0);
  EXPECT_EQ(block->BandHigh - block->BandLow, 300.0f);
  EXPECT_EQ(block->SpanScale, 1.0f);
  EXPECT_EQ(block->FreqFormat, "##0.000MHz");
}

TEST(ParseBlock, RateExponentAboveTwelveActsAsTwelve) {
  for (std::uint16_t k : {12, 13, 255, 65535}) {
    const auto block = Parse(blocks::ZeroBlock(700000, k));
    EXPECT_EQ(block->RateExponent, k);
    EXPECT_DOUBLE_EQ(block->RateDivisor, 8192.0) << k;
    EXPECT_NEAR(block->SampleRate, 0.1220703, 1e-7) << k;
    EXPECT_EQ(block->SpanScale, 10000.0f) << k;
    EXPECT_EQ(block->FreqFormat, "##0.0000000MHz") << k;
    // Edges scaled by SpanScale: (700 -/+ 0.3 x rate) x 10000.
    EXPECT_NEAR(block->BandLow, (700.0 - 0.3 * 1000.0 / 8192) * 10000, 1.0);
    EXPECT_NEAR(block->BandHigh, (700.0 + 0.3 * 1000.0 / 8192) * 10000, 1.0);
  }
}

TEST(ParseBlock, SpanScaleFollowsTheSpanForEveryExponent) {
  // span = 0.6 x 1000 / 2^(k+1)
  const float scales[13] = {1, 1, 10, 10, 10, 100, 100, 100, 100, 1000, 1000, 1000, 10000};
  const char* formats[13] = {"##0.000MHz",    "##0.000MHz",    "##0.0000MHz",   "##0.0000MHz",  "##0.0000MHz",
                             "##0.00000MHz",  "##0.00000MHz",  "##0.00000MHz",  "##0.00000MHz", "##0.000000MHz",
                             "##0.000000MHz", "##0.000000MHz", "##0.0000000MHz"};
  for (std::uint16_t k = 0; k <= 12; ++k) {
    const auto block = Parse(blocks::ZeroBlock(700000, k));
    EXPECT_EQ(block->SpanScale, scales[k]) << "k " << k;
    EXPECT_EQ(block->FreqFormat, formats[k]) << "k " << k;
  }
}

// The band is drawable wherever single precision leaves it a width: every
// rate at ordinary centres, and the widest rates at the highest centre; not
// the narrowest rates there.
TEST(BandDrawable, OnlyBandsThatSinglePrecisionCannotHoldAreRefused) {
  struct Case {
    std::uint32_t centre;
    std::uint16_t k;
    bool drawable;
  };
  for (const Case c :
       {Case{700000, 0, true}, Case{700000, 12, true}, Case{21500000, 12, true}, Case{0xFFFFFFFF, 0, true},
        Case{0xFFFFFFFF, 12, false}, Case{0xFFFFFFFF, 40, false}, Case{0xFFFFFFFF, 11, false}}) {
    EXPECT_EQ(specterm::BandDrawable(std::string_view(blocks::ZeroBlock(c.centre, c.k))), c.drawable)
        << c.centre << "/" << c.k;
  }
}

TEST(ChooseSpanScale, ThresholdsAreInclusiveAndUseSingles) {
  EXPECT_EQ(specterm::ChooseSpanScale(100.0f).SpanScale, 1.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(99.99f).SpanScale, 10.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(10.0f).SpanScale, 10.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(1.0f).SpanScale, 100.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(0.1f).SpanScale, 1000.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(0.0999f).SpanScale, 10000.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(0.01f).SpanScale, 10000.0f);
  EXPECT_EQ(specterm::ChooseSpanScale(0.00999f).SpanScale, 100000.0f);
  EXPECT_STREQ(specterm::ChooseSpanScale(0.001f).FreqFormat, "##0.00000000MHz");
}

TEST(ParseBlock, SpanPresetCaptionsFollowTheScale) {
  // k = 7: span 2.34375 -> SpanScale 100.
  const auto block = Parse(blocks::ZeroBlock(700000, 7));
  ASSERT_EQ(block->SpanScale, 100.0f);
  EXPECT_EQ(block->SpanCaptions[0], "0.0002MHz Span");
  EXPECT_EQ(block->SpanCaptions[3], "0.0025MHz Span");
  EXPECT_EQ(block->SpanCaptions[9], "0.2500MHz Span");

  const auto wide = Parse(blocks::ZeroBlock(700000, 1));
  const std::array<std::string, 10> expected = {"0.0200MHz Span",  "0.0500MHz Span", "0.1000MHz Span", "0.2500MHz Span",
                                                "0.5000MHz Span",  "1.0000MHz Span", "2.5000MHz Span", "5.0000MHz Span",
                                                "10.0000MHz Span", "25.0000MHz Span"};
  EXPECT_EQ(wide->SpanCaptions, expected);
  // A fresh block store starts with the captions of the start-up scale.
  EXPECT_EQ(SampleBlock().SpanCaptions, expected);
}

TEST(ParseBlock, NarrowCapturesGetTheDigitsTheirSmallestSpansNeed) {
  EXPECT_EQ(specterm::SpanPresetCaptions(1000.0f)[0], "0.00002MHz Span");
  EXPECT_EQ(specterm::SpanPresetCaptions(10000.0f)[9], "0.002500MHz Span");
  EXPECT_EQ(specterm::SpanPresetCaptions(100000.0f)[1], "0.0000005MHz Span");
}

TEST(ParseBlock, CaptionsAreRedoneWhenTheScaleChangesBack) {
  SampleBlock block;
  ParseBlock(std::string_view(blocks::ZeroBlock(700000, 7)), block);
  EXPECT_EQ(block.SpanCaptions[9], "0.2500MHz Span");
  ParseBlock(std::string_view(blocks::ZeroBlock(700000, 1)), block);
  EXPECT_EQ(block.SpanCaptions[9], "25.0000MHz Span");
}

TEST(ParseBlock, DecodesSampleBytesWithTheHalfStepOffset) {
  EXPECT_EQ(specterm::DecodeSample(0), 0.0f);
  EXPECT_EQ(specterm::DecodeSample(127), 127.0f);
  EXPECT_EQ(specterm::DecodeSample(128), -127.5f);
  EXPECT_EQ(specterm::DecodeSample(255), -0.5f);

  // Each section lands in its own array, byte n at index n.
  const auto block = Parse(blocks::MakeBlock(
      700000, 1, [](std::size_t n) { return static_cast<std::uint8_t>(n % 256); },
      [](std::size_t n) { return static_cast<std::uint8_t>(255 - n % 256); }));
  EXPECT_EQ(block->IData[0], 0.0f);
  EXPECT_EQ(block->IData[127], 127.0f);
  EXPECT_EQ(block->IData[128], -127.5f);
  EXPECT_EQ(block->IData[255], -0.5f);
  EXPECT_EQ(block->IData[4095], -0.5f);
  EXPECT_EQ(block->QData[0], -0.5f);
  EXPECT_EQ(block->QData[128], 127.0f);
  EXPECT_EQ(block->QData[4095], 0.0f);
}

TEST(ParseBlock, ShortBlocksArePaddedWithSpaces) {
  // A header only: every sample decodes from the padding byte 32.
  const std::string full = blocks::ZeroBlock(700000, 1);
  const auto block = Parse(full.substr(0, 30));
  for (std::size_t n = 0; n < 4096; ++n) {
    ASSERT_EQ(block->IData[n], 32.0f) << n;
    ASSERT_EQ(block->QData[n], 32.0f) << n;
  }
  EXPECT_EQ(block->TrailerWord, 0x2020);

  // Two bytes only: the centre field is padded too ("  " then spaces).
  const auto tiny = Parse(full.substr(0, 1));
  EXPECT_EQ(tiny->StatusWord, 0x1220);
  EXPECT_EQ(tiny->CenterField, 0x20202020u);
  EXPECT_EQ(tiny->RateExponent, 0x2020);
  EXPECT_DOUBLE_EQ(tiny->RateDivisor, 8192.0);

  // Cut inside the second section: the rest of it is padding.
  const auto cut = Parse(full.substr(0, 30 + 4096 + 100));
  EXPECT_EQ(cut->IData[4095], 0.0f);
  EXPECT_EQ(cut->QData[99], 0.0f);
  EXPECT_EQ(cut->QData[100], 32.0f);
  EXPECT_EQ(cut->QData[4095], 32.0f);
}

TEST(ParseBlock, BytesBeyondTheBlockAreIgnored) {
  std::string bytes = blocks::ZeroBlock(700000, 1) + std::string(100, '\x7f');
  const auto block = Parse(bytes);
  EXPECT_EQ(block->TrailerWord, 0x5678);
  EXPECT_EQ(block->QData[4095], 0.0f);
}

TEST(ParseBlock, StuckStartReplacesTheFirstByteOfEachSectionByItsNinth) {
  auto iByte = [](std::size_t n) -> std::uint8_t { return n < 8 ? 5 : static_cast<std::uint8_t>(n); };
  auto qByte = [](std::size_t n) -> std::uint8_t { return n < 8 ? 200 : 100; };
  const auto block = Parse(blocks::MakeBlock(700000, 1, iByte, qByte));
  EXPECT_EQ(block->IData[0], 8.0f);
  EXPECT_EQ(block->IData[1], 5.0f);
  EXPECT_EQ(block->IData[7], 5.0f);
  EXPECT_EQ(block->QData[0], 100.0f);
  EXPECT_EQ(block->QData[1], specterm::DecodeSample(200));
}

TEST(ParseBlock, NoRepairUnlessBothSectionsStartStuck) {
  auto stuck = [](std::size_t n) -> std::uint8_t { return n < 8 ? 5 : 9; };
  auto lively = [](std::size_t n) -> std::uint8_t { return static_cast<std::uint8_t>(n); };
  const auto onlyFirst = Parse(blocks::MakeBlock(700000, 1, stuck, lively));
  EXPECT_EQ(onlyFirst->IData[0], 5.0f);
  const auto onlySecond = Parse(blocks::MakeBlock(700000, 1, lively, stuck));
  EXPECT_EQ(onlySecond->QData[0], 5.0f);
  // Seven equal bytes are not a stuck start.
  auto seven = [](std::size_t n) -> std::uint8_t { return n < 7 ? 5 : 9; };
  const auto short7 = Parse(blocks::MakeBlock(700000, 1, seven, seven));
  EXPECT_EQ(short7->IData[0], 5.0f);
  EXPECT_EQ(short7->QData[0], 5.0f);
}

}  // namespace
