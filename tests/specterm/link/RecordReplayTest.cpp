// A recording made from the live window against the simulator, opened again:
// the replay stops the updates, shows every data set as it was shown live
// (the same export, data set for data set), fills the waterfall from the
// recording, names the file in the title, and closing it returns to the
// modem with the waterfall's own rows.

#include "CaptureTestSupport.h"
#include "processing/DataSetExport.h"

#include <QLabel>
#include <QSlider>
#include <QToolBar>

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

}  // namespace
}  // namespace specterm
