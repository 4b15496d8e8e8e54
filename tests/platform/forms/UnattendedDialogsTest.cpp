// Unattended runs (HALDEN_DIALOG_LOG): a message box is shown, answered with
// its default button after the set pause, and logged as it opens and closes;
// mouse input comes from a script (HALDEN_INPUT_SCRIPT), and a window that a
// modal dialog blocks does not get it.

#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "forms/UnattendedInput.h"

#include <QDialog>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

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

// Records the buttons pressed ("p1") and released ("r4") on it.
class Recorder : public QWidget {
 public:
  Recorder(const char* name, QWidget* parent) : QWidget(parent) { setObjectName(QString::fromLatin1(name)); }
  std::string events;

 protected:
  void mousePressEvent(QMouseEvent* e) override { events += "p" + std::to_string(e->button()); }
  void mouseReleaseEvent(QMouseEvent* e) override { events += "r" + std::to_string(e->button()); }
};

TEST(UnattendedInput, ScriptedMouseReachesTheWidgetUnlessAModalDialogBlocksIt) {
  testsupport::TempDir dir;
  const std::string script = dir.File("input.txt");
  const auto play = [&](const char* lines) { std::ofstream(script, std::ios::app) << lines; };
  play("press plot left 0.5 0.5\n");  // there before the start: not played
  QWidget window;
  auto* plot = new Recorder("plot", &window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  setenv("HALDEN_INPUT_SCRIPT", script.c_str(), 1);
  forms::StartUnattendedInput();
  unsetenv("HALDEN_INPUT_SCRIPT");

  play("press plot middle 0.1 0.9\nmove plot 0.5 0.5\nrelease plot middle 0.5 0.5\npress plot left 0.5 0.5\n");
  ASSERT_TRUE(testsupport::WaitUntil([&] { return plot->events == "p4r4p1"; })) << plot->events;
  QDialog box(&window);
  auto* button = new Recorder("button", &box);
  box.setModal(true);
  box.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  play("release plot left 0.5 0.5\npress button left 0.5 0.5\n");
  ASSERT_TRUE(testsupport::WaitUntil([&] { return button->events == "p1"; }));
  EXPECT_EQ(plot->events, "p4r4p1");
}

}  // namespace
