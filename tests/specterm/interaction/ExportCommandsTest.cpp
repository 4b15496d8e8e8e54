// The File menu's exports and the "Export" button through the dialog seam:
// what the save dialog is asked, cancelling, the overwrite question, a
// failed write, the remembered folder and the repeat of the last kind.

#include "FormFixture.h"
#include "forms/KeyedToolBar.h"
#include "processing/TraceCsv.h"

#include <QAction>
#include <QDir>
#include <QProgressBar>

#include <sstream>

namespace specterm {
namespace {

using forms::ShownDialog;
using forms::DialogSeam::ClearShown;
using forms::DialogSeam::QueueFileAnswer;
using forms::DialogSeam::QueueMsgBoxAnswer;
using forms::DialogSeam::Shown;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line, '\n');) lines.push_back(line);
  return lines;
}

std::vector<ShownDialog> ShownOf(ShownDialog::Kind kind) {
  std::vector<ShownDialog> out;
  for (const ShownDialog& d : Shown())
    if (d.kind == kind) out.push_back(d);
  return out;
}

class ExportCommandsTest : public testing::FormTest {
 protected:
  // A data set of one sample (127, -127.5), at the centre 70 MHz, with the
  // peak hold on.
  frmMain& OpenWithData() {
    frmMain& f = Open();
    f.Exports().SetLastPath(folder.Path() + "/");
    f.mnuToolsPeakHold->trigger();
    const auto first = [](std::uint8_t value) {
      return [value](std::size_t n) { return static_cast<std::uint8_t>(n == 0 ? value : 0); };
    };
    ShowBlock(f, blocks::MakeBlock(700000, 0, first(127), first(128)));
    return f;
  }
  // Completes one export of a kind elsewhere, so that it is the last kind;
  // the folder stays the test's.
  void ExportOnce(frmMain& f, QAction* item) {
    TempDir elsewhere;
    QueueFileAnswer(Q(elsewhere.File("once.txt")));
    item->trigger();
    f.Exports().SetLastPath(folder.Path() + "/");
    ClearShown();
  }
  static QString Q(const std::string& s) { return QString::fromStdString(s); }

  TempDir folder;
};

TEST_F(ExportCommandsTest, DialogAsksForATextFileInTheLastFolderAndTheRawDataSetIsWritten) {
  frmMain& f = OpenWithData();
  const std::string file = folder.File("raw.txt");
  QueueFileAnswer(Q(file));
  f.mnuFileRaw->trigger();

  const auto dialogs = ShownOf(ShownDialog::Kind::FileDialog);
  ASSERT_EQ(dialogs.size(), 1u);
  const forms::FileDialogRequest& r = dialogs[0].file;
  EXPECT_EQ(r.kind, forms::FileDialogRequest::Kind::Save);
  EXPECT_EQ(r.title, "Specify the raw data set file to export...");
  EXPECT_EQ(r.initialFolder, Q(folder.Path() + "/"));
  EXPECT_EQ(r.fileName, "*.TXT");
  EXPECT_EQ(r.filter, "*.TXT|*.TXT|*.*|*.*");
  EXPECT_EQ(r.filterIndex, 1);
  EXPECT_EQ(r.defaultExtension, "TXT");
  EXPECT_FALSE(r.confirmOverwrite);

  const auto lines = Lines(ReadFile(file));
  ASSERT_EQ(lines.size(), 4097u);
  EXPECT_EQ(lines[0], "\"Point\",\"I_Data\",\"Q_Data\"\r");
  EXPECT_EQ(lines[1], "\"1\",\"127\",\"-127.5\"\r");
  EXPECT_EQ(f.Exports().LastExport(), 0);
  EXPECT_EQ(f.pbStatus->value(), 0);
  EXPECT_TRUE(ShownOf(ShownDialog::Kind::MessageBox).empty());
}

TEST_F(ExportCommandsTest, CancelledDialogWritesNothingAndKeepsFolderAndKind) {
  frmMain& f = OpenWithData();
  ExportOnce(f, f.mnuFilePeakHold);
  ASSERT_EQ(f.Exports().LastExport(), 3);
  QueueFileAnswer(std::nullopt);
  f.mnuFileScaled->trigger();
  EXPECT_EQ(ShownOf(ShownDialog::Kind::FileDialog).at(0).file.title,
            "Specify the transformed & scaled data set file to export...");
  EXPECT_EQ(f.Exports().LastPath(), folder.Path() + "/");
  EXPECT_EQ(f.Exports().LastExport(), 3);
  EXPECT_TRUE(QDir(Q(folder.Path())).isEmpty());
}

TEST_F(ExportCommandsTest, OverwriteQuestionNoKeepsTheFileButRemembersItsFolder) {
  frmMain& f = OpenWithData();
  TempDir other;
  const std::string file = other.File("peaks.txt");
  WriteFile(file, "keep me");
  QueueFileAnswer(Q(file));
  QueueMsgBoxAnswer(forms::vbNo);
  f.mnuFilePeakHold->trigger();

  const auto boxes = ShownOf(ShownDialog::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "OK to Overwrite");
  EXPECT_EQ(boxes[0].text,
            Q("The peak hold data set file " + file + " already exists!  Do you wish to overwrite this file?"));
  EXPECT_EQ(boxes[0].style, forms::vbYesNo | forms::vbExclamation);
  EXPECT_EQ(ReadFile(file), "keep me");
  EXPECT_EQ(f.Exports().LastPath(), other.Path() + "/");
  EXPECT_EQ(f.Exports().LastExport(), 0);

  // Yes replaces it.
  QueueFileAnswer(Q(file));
  QueueMsgBoxAnswer(forms::vbYes);
  f.mnuFilePeakHold->trigger();
  const auto lines = Lines(ReadFile(file));
  ASSERT_EQ(lines.size(), 2049u);
  // Point 1 is at the centre, with the level the peak hold holds.
  const std::string first = "\"1\",\"700\",\"";
  ASSERT_EQ(lines[1].substr(0, first.size()), first);
  EXPECT_NEAR(std::stod(lines[1].substr(first.size())), f.Spectrum().Traces().TraceY[kPeakHoldRow][0], 1e-4);
  EXPECT_GT(f.Spectrum().Traces().TraceY[kPeakHoldRow][0], 0);
  EXPECT_EQ(f.Exports().LastExport(), 3);
}

TEST_F(ExportCommandsTest, FailedWriteIsShownWithItsReasonAndFile) {
  frmMain& f = OpenWithData();
  ExportOnce(f, f.mnuFileTransformed);
  ASSERT_EQ(f.Exports().LastExport(), 1);
  const std::string file = folder.File("missing/folder/out.txt");
  QueueFileAnswer(Q(file));
  f.mnuFileVideoAverage->trigger();

  const auto boxes = ShownOf(ShownDialog::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Export Failed");
  EXPECT_EQ(boxes[0].style, forms::vbCritical);
  EXPECT_TRUE(boxes[0].text.contains(Q(file)));
  EXPECT_TRUE(boxes[0].text.contains("No such file or directory"));
  // Not a completed export: the kind stays; the folder is the one chosen.
  EXPECT_EQ(f.Exports().LastExport(), 1);
  EXPECT_EQ(f.Exports().LastPath(), folder.Path() + "/missing/folder/");
  EXPECT_EQ(f.pbStatus->value(), 0);
}

TEST_F(ExportCommandsTest, NextDialogOpensInTheFolderOfTheLastChoice) {
  frmMain& f = OpenWithData();
  TempDir other;
  QueueFileAnswer(Q(other.File("a.txt")));
  f.mnuFileTransformed->trigger();
  QueueFileAnswer(std::nullopt);
  f.mnuFileRaw->trigger();
  const auto dialogs = ShownOf(ShownDialog::Kind::FileDialog);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].file.initialFolder, Q(folder.Path() + "/"));
  EXPECT_EQ(dialogs[1].file.initialFolder, Q(other.Path() + "/"));
}

TEST_F(ExportCommandsTest, ExportButtonRepeatsTheLastKindAndItsDropDownRunsEachKind) {
  frmMain& f = OpenWithData();
  // Before any export: the raw data set.
  QueueFileAnswer(std::nullopt);
  f.tbMain->ClickButton("Export");
  EXPECT_EQ(ShownOf(ShownDialog::Kind::FileDialog).back().file.title, "Specify the raw data set file to export...");

  const std::pair<const char*, const char*> entries[] = {
      {"Raw", "Specify the raw data set file to export..."},
      {"Transformed", "Specify the transformed data set file to export..."},
      {"TranScaled", "Specify the transformed & scaled data set file to export..."},
      {"PeakHold", "Specify the peak hold data set file to export..."},
      {"VideoAverage", "Specify the video average data set file to export..."},
  };
  int kind = 0;
  for (const auto& [key, title] : entries) {
    const std::string file = folder.File(std::string(key) + ".txt");
    QueueFileAnswer(Q(file));
    f.tbMain->ClickButtonMenu("Export", key);
    EXPECT_EQ(ShownOf(ShownDialog::Kind::FileDialog).back().file.title, title);
    EXPECT_EQ(f.Exports().LastExport(), kind++);
    EXPECT_FALSE(ReadFile(file).empty()) << key;

    QueueFileAnswer(std::nullopt);
    f.tbMain->ClickButton("Export");
    EXPECT_EQ(ShownOf(ShownDialog::Kind::FileDialog).back().file.title, title);
  }
}

TEST_F(ExportCommandsTest, SaveTracesAsCsvWritesTheTableOfTheShownTracesAndLeavesTheExportKind) {
  frmMain& f = OpenWithData();
  const std::string file = folder.File("traces.csv");
  QueueFileAnswer(Q(file));
  f.mnuFileCsv->trigger();
  EXPECT_EQ(ShownOf(ShownDialog::Kind::FileDialog).at(0).file.initialFolder, Q(folder.Path() + "/"));
  const std::string text = ReadFile(file);
  EXPECT_EQ(text, TraceCsvText(f.Spectrum().State(), {f.Directory().LastModem(), f.Spectrum().DataSetTime()}));
  EXPECT_NE(text.find("\r\nfrequency_mhz,current_db,peak_hold_db\r\n"), std::string::npos);
  EXPECT_EQ(f.Exports().LastExport(), 0);
}

}  // namespace
}  // namespace specterm
