// The monitor's handling of a reply: samples, model and modulation, EVM and
// statistics, without a modem behind it.

#include "FileFtpServer.h"
#include "MonitorTestSupport.h"
#include "monitor/ConstellationMonitor.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace orbscope;
using orbscope::test::AttachWithoutModem;
using orbscope::test::ConstellationReply;

class MonitorTest : public ::testing::Test {
 protected:
  CConstellationMonitor monitor{CTextBuf("127.0.0.1:1")};
};

TEST_F(MonitorTest, StartsWithTheDesignValues) {
  EXPECT_TRUE(monitor.SessionOpen());
  EXPECT_FALSE(monitor.IsConnected());
  EXPECT_EQ(monitor.PollInterval(), 1000);
  EXPECT_EQ(monitor.XAxis().maximum, 255);
  EXPECT_EQ(monitor.YAxis().divisions, 5);
  EXPECT_EQ(monitor.Status(), 0);
  EXPECT_EQ(monitor.Evm(), 0);
  EXPECT_FALSE(monitor.ReadConstellation()) << "a read without a connection fails";
}

TEST_F(MonitorTest, SamplesAlternateIAndQ) {
  AttachWithoutModem(monitor);
  std::string reply = ConstellationReply(0, 0, 0, 2);
  reply[0] = 10;
  reply[1] = 20;
  reply[2046] = static_cast<char>(200);
  reply[2047] = static_cast<char>(255);
  ASSERT_TRUE(monitor.ApplyConstellation(reply));
  ASSERT_EQ(monitor.ISamples().Count(), 1024);
  ASSERT_EQ(monitor.QSamples().Count(), 1024);
  EXPECT_EQ(monitor.ISamples()[0], 10);
  EXPECT_EQ(monitor.QSamples()[0], 20);
  EXPECT_EQ(monitor.ISamples()[1023], 200) << "bytes are unsigned";
  EXPECT_EQ(monitor.QSamples()[1023], 255);
}

TEST_F(MonitorTest, TrailingBytesNameModelAndModulation) {
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 154, 1, 4)));
  EXPECT_EQ(monitor.Status(), 1 * 256 + 4);
  EXPECT_EQ(monitor.TitleText().rfind("Halden (8PSK EVM= ", 0), 0u) << monitor.TitleText();
}

TEST_F(MonitorTest, OutOfRangeBytesCountAsZeroAndLeaveTheEvm) {
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 128, 0, 1)));
  const double evm = monitor.Evm();
  EXPECT_TRUE(std::isinf(evm));
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(100, 100, 7, 9)));
  EXPECT_EQ(monitor.Status(), 0);
  EXPECT_EQ(monitor.Evm(), evm) << "no EVM computed without a modulation";
  EXPECT_EQ(monitor.TitleText(), "Melgar (NONE)");
}

TEST_F(MonitorTest, SamplesOnlyRepliesAreModelZeroQpsk) {
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 192, 2, 1)));
  EXPECT_EQ(monitor.Status(), 2 * 256 + 1);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 192)));
  EXPECT_EQ(monitor.Status(), kStatusSamplesOnly);
  EXPECT_EQ(monitor.TitleText(), "Melgar (QPSK EVM= Inf dB)");
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 192, 1, -1).substr(0, 2049)));
  EXPECT_EQ(monitor.Status(), kStatusSamplesOnly) << "2049 bytes: samples only";
}

TEST_F(MonitorTest, AShortReplyFailsAndLeavesNoSamples) {
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 192, 0, 2)));
  EXPECT_FALSE(monitor.ApplyConstellation(ConstellationReply(192, 192).substr(0, 2047)));
  EXPECT_EQ(monitor.ISamples().Count(), 0);
  EXPECT_FALSE(monitor.ApplyConstellation(std::nullopt));
}

TEST_F(MonitorTest, ArraysAreRefilledInPlace) {
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(1, 2, 0, 2)));
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(3, 4, 0, 2)));
  EXPECT_EQ(monitor.ISamples().Count(), 1024);
  EXPECT_EQ(monitor.ISamples().Capacity(), 1529);
  EXPECT_EQ(monitor.ISamples()[5], 3);
}

TEST_F(MonitorTest, StatisticsOnlyWhileConnected) {
  EXPECT_FALSE(monitor.ToggleStatistics());
  EXPECT_FALSE(monitor.StatisticsOn());
  AttachWithoutModem(monitor);
  // Halden BPSK at a = 64: EVM = 10 log10(81).
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(192, 128, 1, 1)));
  const double first = monitor.Evm();
  EXPECT_TRUE(monitor.ToggleStatistics());
  EXPECT_EQ(monitor.Average(), first);
  EXPECT_EQ(monitor.Minimum(), first);
  EXPECT_EQ(monitor.Maximum(), first);
  // a = 60: e = 144, a lower EVM.
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(188, 128, 1, 1)));
  const double lower = monitor.Evm();
  ASSERT_LT(lower, first);
  EXPECT_EQ(monitor.Minimum(), lower);
  EXPECT_EQ(monitor.Maximum(), first);
  EXPECT_DOUBLE_EQ(monitor.Average(), first - (first - lower) / 256);
  const std::string title = monitor.TitleText();
  char expected[128];
  std::snprintf(expected, sizeof expected, "Halden (BPSK EVM= %.1f dB  [ %.1f, %.1f, %.1f ])", lower, lower, first,
                first - (first - lower) / 256);
  EXPECT_EQ(title, expected);
  EXPECT_FALSE(monitor.ToggleStatistics());
  EXPECT_EQ(monitor.TitleText().find('['), std::string::npos);
}

TEST_F(MonitorTest, ConnectResetsTheXAxisAndEmptiesTheSamples) {
  AttachWithoutModem(monitor);
  ASSERT_TRUE(monitor.ApplyConstellation(ConstellationReply(1, 2, 0, 2)));
  monitor.PrepareConnect();
  EXPECT_EQ(monitor.ISamples().Count(), 0);
  EXPECT_EQ(monitor.XAxis().minimum, 0);
  EXPECT_EQ(monitor.XAxis().maximum, 255);
  monitor.Disconnect();
  EXPECT_FALSE(monitor.IsConnected());
  EXPECT_EQ(monitor.Connection(), nullptr);
}

}  // namespace
