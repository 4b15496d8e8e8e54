// A recording made from the live window against the simulator, opened again:
// the replay stops the updates, shows every data set as it was shown live
// (the same export, data set for data set), fills the waterfall from the
// recording, names the file in the title, and closing it returns to the
// modem with the waterfall's own rows. A tone switched on at the simulator
// while the window runs is a line in the waterfall's rows after it, not
// before.

#include "CaptureTestSupport.h"
#include "processing/DataSetExport.h"

#include <QLabel>
#include <QSlider>
#include <QToolBar>

#include <algorithm>
#include <array>
#include <cmath>

namespace specterm {
namespace {

using testsupport::WaitUntil;

class RecordReplayTest : public testing::CaptureFixture {};

TEST_F(RecordReplayTest, ARecordingOpensAgainDataSetForDataSet) {
  StartSim({"--tone", "2500000:25", "--tone", "-6000000:15"});
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  ASSERT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() >= 1; }));

  testsupport::TempDir dir;
  const QString file = QString::fromStdString(dir.File("live.rec"));
  std::vector<std::string> live;  // the export of each data set recorded
  QObject::connect(&f, &frmMain::DataSetShown, &f, [&] {
    if (f.DataSetRecorder().Recording()) live.push_back(DataSetText(ExportKind::Scaled, f.Spectrum().State()));
  });
  forms::DialogSeam::QueueFileAnswer(file);
  f.mnuFileRecord->trigger();
  ASSERT_TRUE(f.mnuFileRecord->isChecked());
  ASSERT_TRUE(WaitUntil([&] { return live.size() >= 4; }));
  EXPECT_EQ(f.lblRecording->text(), QStringLiteral("Recorded: %1").arg(live.size()));
  f.mnuFileRecord->trigger();
  EXPECT_FALSE(f.mnuFileRecord->isChecked());
  EXPECT_FALSE(f.lblRecording->isVisible());
  ASSERT_EQ(f.DataSetRecorder().Count(), static_cast<std::int64_t>(live.size()));
  const std::uint64_t liveRows = f.WaterfallView().History().Serial();
  const QString modemTitle = f.windowTitle();

  forms::DialogSeam::QueueFileAnswer(file);
  f.mnuFileOpenRecording->trigger();
  ASSERT_TRUE(f.RecordingReplay().Active());
  EXPECT_TRUE(f.Cycle().StopUpdates());
  EXPECT_TRUE(f.windowTitle().contains(QStringLiteral("[Replay of live.rec]"))) << f.windowTitle().toStdString();
  EXPECT_TRUE(f.tbReplay->isVisible());
  // It opens at the last data set, with the waterfall full of the recording.
  EXPECT_EQ(f.RecordingReplay().Position(), live.size() - 1);
  EXPECT_EQ(f.WaterfallView().History().Size(), live.size());
  EXPECT_EQ(DataSetText(ExportKind::Scaled, f.Spectrum().State()), live.back());

  // From the first to the last, each data set as it was live; the waterfall
  // grows a row a step.
  f.cmdReplayFirst->trigger();
  EXPECT_FALSE(f.cmdReplayPrevious->isEnabled());
  for (std::size_t i = 0; i < live.size(); ++i) {
    if (i > 0) f.cmdReplayNext->trigger();
    EXPECT_EQ(DataSetText(ExportKind::Scaled, f.Spectrum().State()), live[i]) << "data set " << i;
    EXPECT_EQ(f.WaterfallView().History().Size(), i + 1);
    EXPECT_EQ(f.WaterfallView().History().Newest().Source, static_cast<std::int64_t>(i));
  }
  EXPECT_FALSE(f.cmdReplayNext->isEnabled());
  f.sldReplay->setValue(1);
  EXPECT_EQ(f.RecordingReplay().Position(), 1u);
  EXPECT_EQ(DataSetText(ExportKind::Scaled, f.Spectrum().State()), live[1]);
  EXPECT_TRUE(f.lblReplay->text().startsWith(QStringLiteral("Data set 2 of %1").arg(live.size())));

  // Back to the modem: its rows, its title, its updates.
  const int shown = f.Cycle().DataSets();
  f.cmdReplayClose->trigger();
  EXPECT_FALSE(f.RecordingReplay().Active());
  EXPECT_FALSE(f.tbReplay->isVisible());
  EXPECT_EQ(f.WaterfallView().History().Serial(), liveRows);
  EXPECT_EQ(f.windowTitle(), modemTitle);
  EXPECT_FALSE(f.Cycle().StopUpdates());
  EXPECT_TRUE(WaitUntil([&] { return f.Cycle().DataSets() > shown; }));
}

// Whether a row holds a tone at a frequency (0.1 MHz units): the level there
// stands 20 dB above the row's median.
bool HasTone(const WaterfallRow& row, double frequency) {
  const auto at = static_cast<std::ptrdiff_t>(std::lround((frequency - row.FirstFreq) / row.FreqStep));
  if (row.FreqStep <= 0 || at < 1 || at + 1 >= static_cast<std::ptrdiff_t>(row.Levels.size())) return false;
  std::array<float, kPointCount> sorted = row.Levels;
  std::nth_element(sorted.begin(), sorted.begin() + kPointCount / 2, sorted.end());
  const float peak = *std::max_element(row.Levels.begin() + at - 1, row.Levels.begin() + at + 2);
  return peak > sorted[kPointCount / 2] + 20;
}

TEST_F(RecordReplayTest, AToneSwitchedOnIsALineInTheRowsAfterItOnly) {
  StartSim();
  frmMain& f = OpenOnSim(/*stopUpdates=*/false);
  const WaterfallHistory& rows = f.WaterfallView().History();
  ASSERT_TRUE(WaitUntil([&] { return rows.Added() >= 2; }));
  const std::uint64_t before = rows.Added();
  ASSERT_TRUE(testing::SendControl(*sim, "tone -4000000:35 on\n"));
  ASSERT_TRUE(WaitUntil([&] { return rows.Added() >= before + 3; }, std::chrono::seconds(30)));
  constexpr double kTone = 660;  // 4 MHz below the simulator's centre of 70 MHz
  const std::size_t newer = rows.Added() - before;
  // Newest first: once the tone is there it stays, and none of the rows
  // before the switch has it.
  EXPECT_TRUE(HasTone(rows.Newest(), kTone));
  bool seen = false;
  for (std::size_t age = rows.Size(); age-- > 0;) {
    const bool tone = HasTone(rows.Row(age), kTone);
    EXPECT_TRUE(age < newer || !tone) << "row " << age << " before the switch";
    EXPECT_TRUE(!seen || tone) << "row " << age << " after the tone came";
    seen = seen || tone;
  }
}

}  // namespace
}  // namespace specterm
