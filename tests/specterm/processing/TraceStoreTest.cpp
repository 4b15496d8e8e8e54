// The trace store: first-trace rule, previous row, video average in dB, peak
// hold with its x from the first data set, counters and their wrap, texts,
// and the Tools menu switches.

#include "TestBlocks.h"
#include "processing/SpectrumUpdate.h"
#include "processing/TraceStore.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using specterm::TraceStore;

std::unique_ptr<TraceStore> Store() { return std::make_unique<TraceStore>(); }

// Puts a data set into row 0 as the update does between its steps.
void NewDataSet(TraceStore& store, float x, float y) {
  store.BeginUpdate();
  store.TraceX[0].fill(x);
  store.TraceY[0].fill(y);
}

TEST(TraceStore, FirstTraceRuleOverTheFirstDataSets) {
  auto store = Store();
  NewDataSet(*store, 700, 30);
  EXPECT_TRUE(store->FirstTrace);  // row 0 was empty
  NewDataSet(*store, 700, 31);
  EXPECT_TRUE(store->FirstTrace);  // row 1 still empty: left as it was
  NewDataSet(*store, 700, 32);
  EXPECT_FALSE(store->FirstTrace);  // a complete pair exists
  EXPECT_EQ(store->TraceY[1][0], 31.0f);
}

TEST(TraceStore, FirstTraceCountsDataSetsWhateverPointOneHolds) {
  auto store = Store();
  for (int n = 0; n < 4; ++n) {
    NewDataSet(*store, 0, 0);  // point 1 at frequency 0 and at 0 dB
    EXPECT_EQ(store->FirstTrace, n < 2) << n;
  }
}

TEST(TraceStore, VideoAverageIsTheMeanOfTheDbValues) {
  auto store = Store();
  NewDataSet(*store, 700, 10);
  store->Accumulate(true, false);
  EXPECT_EQ(store->TraceY[2][0], 10.0f);
  NewDataSet(*store, 701, 20);
  store->Accumulate(true, false);
  EXPECT_EQ(store->TraceY[2][0], 15.0f);  // not the dB of the mean power (17.4)
  EXPECT_EQ(store->TraceX[2][0], 701.0f);
  NewDataSet(*store, 702, 30);
  store->Accumulate(true, false);
  EXPECT_FLOAT_EQ(store->TraceY[2][1000], 20.0f);
  EXPECT_EQ(store->VideoAverageCount, 3);
}

TEST(TraceStore, PeakHoldKeepsTheHighestAndTheFirstX) {
  auto store = Store();
  NewDataSet(*store, 700, 10);
  store->Accumulate(false, true);
  NewDataSet(*store, 800, 30);
  store->TraceY[0][5] = 5;
  store->Accumulate(false, true);
  NewDataSet(*store, 900, 20);
  store->Accumulate(false, true);
  EXPECT_EQ(store->TraceY[3][0], 30.0f);
  EXPECT_EQ(store->TraceY[3][5], 20.0f);
  EXPECT_EQ(store->TraceX[3][0], 700.0f);  // x from the first data set only
  EXPECT_EQ(store->TraceX[3][2047], 700.0f);
  EXPECT_EQ(store->PeakHoldCount, 3);
}

TEST(TraceStore, SwitchedOffAccumulationsKeepTheirContents) {
  auto store = Store();
  NewDataSet(*store, 700, 10);
  store->Accumulate(true, true);
  NewDataSet(*store, 700, 50);
  const auto texts = store->Accumulate(false, false);
  EXPECT_EQ(store->TraceY[2][0], 10.0f);
  EXPECT_EQ(store->TraceY[3][0], 10.0f);
  EXPECT_EQ(store->VideoAverageCount, 1);
  EXPECT_EQ(store->PeakHoldCount, 1);
  EXPECT_EQ(texts.VideoAverageToolTip, "Video Average Trace");
  EXPECT_EQ(texts.PeakHoldToolTip, "Peak Hold Trace");
  EXPECT_FALSE(texts.Status.has_value());
}

TEST(TraceStore, CountersWrapAtTheLargestLongAndRestart) {
  auto store = Store();
  NewDataSet(*store, 700, 10);
  store->Accumulate(true, true);
  store->VideoAverageCount = 2147483647;
  store->PeakHoldCount = 2147483647;
  NewDataSet(*store, 700, 40);
  const auto texts = store->Accumulate(true, true);
  EXPECT_EQ(store->VideoAverageCount, 1);
  EXPECT_EQ(store->PeakHoldCount, 1);
  // A fresh start: the rows copy the new data set.
  EXPECT_EQ(store->TraceY[2][0], 40.0f);
  EXPECT_EQ(texts.VideoAverageToolTip, "Video Average Trace [1]");

  // Not running: the counter still wraps, to 0.
  store->VideoAverageCount = 2147483647;
  store->Accumulate(false, false);
  EXPECT_EQ(store->VideoAverageCount, 0);
}

TEST(TraceStore, AccumulationTexts) {
  auto store = Store();
  NewDataSet(*store, 700, 10);
  auto texts = store->Accumulate(true, true);
  EXPECT_EQ(texts.VideoAverageToolTip, "Video Average Trace [1]");
  EXPECT_EQ(texts.Status, "Video Average Trace [1]");
  EXPECT_EQ(texts.PeakHoldToolTip, "Peak Hold Trace [1]");
  store->PeakHoldCount = 41;
  texts = store->Accumulate(false, true);
  EXPECT_EQ(texts.PeakHoldToolTip, "Peak Hold Trace [42]");
  EXPECT_FALSE(texts.Status.has_value());  // only the video average writes the panel
}

TEST(TraceStore, SampleCountTexts) {
  auto store = Store();
  store->VideoAverageCount = 12;
  store->PeakHoldCount = 3;
  EXPECT_EQ(store->SampleCountsStatus(true, true), "Peak Hold Samples = 3 | Video Average Samples = 12");
  EXPECT_EQ(store->SampleCountsStatus(true, false), "Video Average Samples = 12");
  EXPECT_EQ(store->SampleCountsStatus(false, true), "Peak Hold Samples = 3");
  EXPECT_FALSE(store->SampleCountsStatus(false, false).has_value());
}

TEST(TraceStore, TraceNames) {
  EXPECT_EQ(specterm::TraceName(0), "Current");
  EXPECT_EQ(specterm::TraceName(1), "Previous");
  EXPECT_EQ(specterm::TraceName(2), "Video Average");
  EXPECT_EQ(specterm::TraceName(3), "Peak Hold");
  EXPECT_EQ(specterm::TraceName(-1), "Current");
  EXPECT_EQ(specterm::TraceName(7), "Current");
}

TEST(TraceStore, ToolsCommandsShowHideAndRestart) {
  auto store = Store();
  std::int16_t lastTrace = 3;
  std::int32_t lastPoint = 17;
  store->PeakHoldCount = 9;
  store->VideoAverageCount = 8;

  store->ToolsCommand(specterm::kPeakHoldRow, true, lastTrace, lastPoint);
  EXPECT_TRUE(store->TraceShown[3]);
  EXPECT_EQ(store->PeakHoldCount, 0);
  EXPECT_EQ(store->VideoAverageCount, 8);
  EXPECT_EQ(lastTrace, 3);

  // Hiding another row keeps the last selected point.
  store->ToolsCommand(specterm::kVideoAverageRow, false, lastTrace, lastPoint);
  EXPECT_FALSE(store->TraceShown[2]);
  EXPECT_EQ(store->VideoAverageCount, 8);
  EXPECT_EQ(lastPoint, 17);

  // Hiding the row of the last selected point forgets it.
  store->ToolsCommand(specterm::kPeakHoldRow, false, lastTrace, lastPoint);
  EXPECT_FALSE(store->TraceShown[3]);
  EXPECT_EQ(lastTrace, -1);
  EXPECT_EQ(lastPoint, 0);

  store->ToolsCommand(specterm::kVideoAverageRow, true, lastTrace, lastPoint);
  EXPECT_EQ(store->VideoAverageCount, 0);
  store->ToolsCommand(specterm::kCurrentRow, true, lastTrace, lastPoint);
  store->ToolsCommand(specterm::kPreviousRow, true, lastTrace, lastPoint);
  EXPECT_EQ(store->TraceShown, (std::array<bool, 4>{true, true, true, false}));
}

TEST(TraceStore, RestartedAccumulationCopiesTheNextDataSet) {
  auto store = Store();
  std::int16_t lastTrace = -1;
  std::int32_t lastPoint = 0;
  NewDataSet(*store, 700, 50);
  store->Accumulate(true, true);
  store->ToolsCommand(specterm::kPeakHoldRow, true, lastTrace, lastPoint);
  store->ToolsCommand(specterm::kVideoAverageRow, true, lastTrace, lastPoint);
  NewDataSet(*store, 710, 20);
  store->Accumulate(true, true);
  EXPECT_EQ(store->TraceY[3][0], 20.0f);
  EXPECT_EQ(store->TraceX[3][0], 710.0f);
  EXPECT_EQ(store->TraceY[2][0], 20.0f);
}

TEST(TraceStore, NewCentreMovesAllRowsButThePeakHoldX) {
  // Through the whole update: two blocks with different centres.
  const auto loaded = specterm::FftLibrary::Shared();
  ASSERT_TRUE(loaded) << loaded.Error;
  const specterm::SpectrumUpdater updater(loaded.Library);
  auto state = std::make_unique<specterm::SpectrumState>();
  specterm::ParseBlock(std::string_view(blocks::ToneBlock(700000, 1, 9, 1)), state->Block);
  updater.Update(*state, {true, true, true});
  specterm::ParseBlock(std::string_view(blocks::ToneBlock(710000, 1, 9, 2)), state->Block);
  updater.Update(*state, {true, true, true});
  const auto& x = state->Traces.TraceX;
  EXPECT_EQ(x[0][0], 710.0f);
  EXPECT_EQ(x[1][0], 700.0f);
  EXPECT_EQ(x[2][0], 710.0f);
  EXPECT_EQ(x[3][0], 700.0f);
}

}  // namespace
