// `cmake --install` into a temporary prefix: the installed programs run
// (specterm finds libFFT.so: three data sets need the transform), the
// desktop entries are valid, and nothing of the tests is there.

#include "ProgramRun.h"
#include "TestSupport.h"
#include "Version.h"

#include <QDirIterator>
#include <QImage>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;

TEST(InstallTest, InstalledProgramsRunFromThePrefix) {
  testsupport::TempDir prefix;
  const auto in = [&](const std::string& path) { return QString::fromStdString(prefix.File(path)); };
  const programs::RunResult install = programs::Run(HALDEN_CMAKE, {"--install", HALDEN_BUILD_DIR, "--prefix", in("")});
  ASSERT_TRUE(install.finished && install.exitCode == 0) << install.out << install.err;

  for (const std::string program : {"specterm", "orbscope", "modemsim", "specterm-dataset"}) {
    const programs::RunResult run = programs::Run(in("bin/" + program), {"--version"});
    EXPECT_EQ(run.out, program + " " + kVersionText + "\n") << run.err;
  }
  const programs::RunResult valid = programs::Run(
      "desktop-file-validate", {in("share/applications/specterm.desktop"), in("share/applications/orbscope.desktop")});
  EXPECT_TRUE(valid.finished && valid.exitCode == 0 && valid.out.empty()) << valid.out << valid.err;
  EXPECT_EQ(QImage(in("share/icons/hicolor/48x48/apps/orbscope.png")).size(), QSize(48, 48));
  for (QDirIterator it(in(""), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QString file = QDir(in("")).relativeFilePath(it.next());
    EXPECT_FALSE(file.contains("test") || file.contains("bench")) << file.toStdString();
  }

  testsupport::ChildProcess sim({prefix.File("bin/modemsim"), "--port", "0", "--log", prefix.File("sim.log")});
  const std::optional<std::string> listening = sim.ReadLine(10s);
  ASSERT_TRUE(listening && listening->rfind("listening on ", 0) == 0);
  testsupport::WriteFile(prefix.File("HKEY_CURRENT_USER.reg"),
                         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Configuration]\n"
                         "\"StopUpdates\"=\"False\"\n\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\"
                         "Halden Modems]\n\"ModemCount\"=\"1\"\n\"LastModem\"=\"Sim\"\n\n[HKEY_CURRENT_USER\\Software\\"
                         "Halden Spectrum Analyzer\\Halden Modems\\Modem1]\n\"ModemName\"=\"Sim\"\n\"IP_Address\"=\"" +
                             listening->substr(13) + "\"\n");
  QProcessEnvironment env = programs::WithoutDisplay();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("HALDEN_REGISTRY_DIR", in(""));
  const programs::RunResult specterm = programs::Run(in("bin/specterm"), {"--snapshot", in("s.png")}, env, 90000);
  EXPECT_TRUE(specterm.finished && specterm.exitCode == 0) << specterm.err;
  EXPECT_FALSE(QImage(in("s.png")).isNull());
}

}  // namespace
