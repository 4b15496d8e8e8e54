// Unattended runs (HALDEN_DIALOG_LOG): a message box is shown, answered with
// its default button after the set pause, and logged as it opens and closes.

#include "TestSupport.h"
#include "forms/Dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(UnattendedDialogs, MessageBoxesAreAnsweredWithTheDefaultAndLogged) {
  testsupport::TempDir dir;
  const std::string log = dir.File("dialogs.log");
  setenv("HALDEN_DIALOG_LOG", log.c_str(), 1);
  setenv("HALDEN_DIALOG_ANSWER_MS", "10", 1);
  forms::DialogSeam::Uninstall();
  const int answer = forms::MsgBox("Lost?", forms::vbYesNo | forms::vbCritical, "Title");
  const std::optional<QString> file = forms::ShowFileDialog(forms::FileDialogRequest{});
  forms::DialogSeam::Install();
  unsetenv("HALDEN_DIALOG_LOG");

  EXPECT_EQ(answer, forms::vbYes);
  EXPECT_FALSE(file.has_value());
  const std::string written = testsupport::ReadFile(log);
  EXPECT_NE(written.find(" open 1 \"Title\" \"Lost?\"\n"), std::string::npos) << written;
  EXPECT_NE(written.find(" close 0 \"Title\"\n"), std::string::npos) << written;
  EXPECT_NE(written.find(" cancelled file dialog"), std::string::npos) << written;
}

}  // namespace
