// The installation: `cmake --install` into a temporary prefix gives working
// programs (specterm and specterm-dataset find libFFT.so there), desktop
// entries and icons, and nothing of the tests; cpack makes a Debian package
// that depends on the runtime packages of the libraries the programs link.

#include "ProgramRun.h"
#include "TestSupport.h"
#include "Version.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

using namespace std::chrono_literals;

class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = std::make_unique<testsupport::TempDir>();
    install_ = programs::Run(HALDEN_CMAKE, {"--install", HALDEN_BUILD_DIR, "--prefix", Prefix()},
                             QProcessEnvironment::systemEnvironment(), 120s);
  }
  static void TearDownTestSuite() { prefix_.reset(); }
  void SetUp() override { ASSERT_TRUE(install_.finished && install_.exitCode == 0) << install_.out << install_.err; }

  static QString Prefix() { return QString::fromStdString(prefix_->Path()); }
  static std::string Installed(const std::string& path) { return prefix_->Path() + "/" + path; }

  static std::unique_ptr<testsupport::TempDir> prefix_;
  static programs::RunResult install_;
};

std::unique_ptr<testsupport::TempDir> InstallTest::prefix_;
programs::RunResult InstallTest::install_;

TEST_F(InstallTest, EveryProgramRunsFromThePrefix) {
  for (const std::string program : {"specterm", "orbscope", "modemsim", "specterm-dataset"}) {
    const programs::RunResult run = programs::Run(Installed("bin/" + program), {"--version"});
    EXPECT_TRUE(run.finished && run.exitCode == 0) << program << ": " << run.err;
    EXPECT_EQ(run.out, program + " " + kVersionText + "\n");
  }
}

TEST_F(InstallTest, InstallsTheProgramsDesktopEntriesAndIconsAndNothingElse) {
  const std::set<std::string> expected = {"bin/modemsim",
                                          "bin/orbscope",
                                          "bin/specterm",
                                          "bin/specterm-dataset",
                                          "lib/halden/libFFT.so",
                                          "lib/halden/specterm",
                                          "lib/halden/specterm-dataset",
                                          "share/applications/orbscope.desktop",
                                          "share/applications/specterm.desktop",
                                          "share/icons/hicolor/16x16/apps/orbscope.png",
                                          "share/icons/hicolor/16x16/apps/specterm.png",
                                          "share/icons/hicolor/32x32/apps/orbscope.png",
                                          "share/icons/hicolor/32x32/apps/specterm.png",
                                          "share/icons/hicolor/48x48/apps/orbscope.png",
                                          "share/icons/hicolor/48x48/apps/specterm.png",
                                          "share/icons/hicolor/256x256/apps/orbscope.png",
                                          "share/icons/hicolor/256x256/apps/specterm.png",
                                          "share/icons/hicolor/scalable/apps/orbscope.svg",
                                          "share/icons/hicolor/scalable/apps/specterm.svg"};
  std::set<std::string> installed;
  QDirIterator it(Prefix(), QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) installed.insert(QDir(Prefix()).relativeFilePath(it.next()).toStdString());
  EXPECT_EQ(installed, expected);
  EXPECT_EQ(QImage(QString::fromStdString(Installed("share/icons/hicolor/48x48/apps/specterm.png"))).size(),
            QSize(48, 48));
  const programs::RunResult valid = programs::Run(
      "desktop-file-validate", {QString::fromStdString(Installed("share/applications/specterm.desktop")),
                                QString::fromStdString(Installed("share/applications/orbscope.desktop"))});
  EXPECT_TRUE(valid.finished && valid.exitCode == 0 && valid.out.empty()) << valid.out << valid.err;
}

TEST_F(InstallTest, InstalledProgramsFindTheFftLibraryAndTheSimulator) {
  testsupport::TempDir work;
  testsupport::ChildProcess sim({Installed("bin/modemsim"), "--port", "0", "--log", work.File("modemsim.log")});
  const std::optional<std::string> listening = sim.ReadLine(10s);
  ASSERT_TRUE(listening && listening->rfind("listening on 127.0.0.1:", 0) == 0);
  const std::string port = listening->substr(listening->rfind(':') + 1);
  testsupport::WriteFile(work.File("HKEY_CURRENT_USER.reg"),
                         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Configuration]\n"
                         "\"StopUpdates\"=\"False\"\n\n"
                         "[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems]\n"
                         "\"ModemCount\"=\"1\"\n\"LastModem\"=\"Simulator\"\n\n"
                         "[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Halden Modems\\Modem1]\n"
                         "\"ModemName\"=\"Simulator\"\n\"IP_Address\"=\"127.0.0.1:" +
                             port + "\"\n");
  QProcessEnvironment offscreen = programs::WithoutDisplay();
  offscreen.insert("QT_QPA_PLATFORM", "offscreen");
  offscreen.insert("HALDEN_REGISTRY_DIR", QString::fromStdString(work.Path()));

  // Three data sets need the transform of libFFT.so.
  const programs::RunResult specterm = programs::Run(
      Installed("bin/specterm"), {"--snapshot", QString::fromStdString(work.File("specterm.png"))}, offscreen, 90s);
  EXPECT_TRUE(specterm.finished && specterm.exitCode == 0) << specterm.err;
  EXPECT_FALSE(QImage(QString::fromStdString(work.File("specterm.png"))).isNull());

  const programs::RunResult orbscope = programs::Run(
      Installed("bin/orbscope"),
      {QString::fromStdString("-a127.0.0.1:" + port), "--snapshot", QString::fromStdString(work.File("orbscope.png"))},
      offscreen, 90s);
  EXPECT_TRUE(orbscope.finished && orbscope.exitCode == 0) << orbscope.err;
  EXPECT_FALSE(QImage(QString::fromStdString(work.File("orbscope.png"))).isNull());

  // specterm-dataset over a block read from the installed simulator.
  const programs::RunResult block =
      programs::Run("curl", {"-sS", "--max-time", "20", "-o", QString::fromStdString(work.File("block.bin")),
                             QString::fromStdString("ftp://127.0.0.1:" + port + "/spectrum:")});
  ASSERT_TRUE(block.finished && block.exitCode == 0) << block.err;
  const programs::RunResult dataset = programs::Run(
      Installed("bin/specterm-dataset"), {"--kind", "scaled", QString::fromStdString(work.File("block.bin"))});
  EXPECT_TRUE(dataset.finished && dataset.exitCode == 0) << dataset.err;
  EXPECT_GT(dataset.out.size(), 2048u) << "a line per point";
}

TEST_F(InstallTest, DebianPackageDependsOnTheRuntimeLibraries) {
  testsupport::TempDir out;
  const programs::RunResult cpack = programs::Run(
      HALDEN_CPACK,
      {"-G", "DEB", "--config", HALDEN_BUILD_DIR "/CPackConfig.cmake", "-B", QString::fromStdString(out.Path())},
      QProcessEnvironment::systemEnvironment(), 240s);
  ASSERT_TRUE(cpack.finished && cpack.exitCode == 0) << cpack.out << cpack.err;
  const QStringList debs = QDir(QString::fromStdString(out.Path())).entryList({"*.deb"});
  ASSERT_EQ(debs.size(), 1);
  const QString deb = QString::fromStdString(out.Path()) + "/" + debs[0];
  EXPECT_TRUE(debs[0].startsWith(QString("halden-modem-tools_") + kVersionText + "_")) << debs[0].toStdString();

  const programs::RunResult depends = programs::Run("dpkg-deb", {"-f", deb, "Depends"});
  ASSERT_TRUE(depends.finished && depends.exitCode == 0) << depends.err;
  for (const char* package : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6",
                              "libcurl4", "libfftw3-single3", "libfftw3-double3"})
    EXPECT_NE(depends.out.find(package), std::string::npos) << package << " in " << depends.out;

  const programs::RunResult contents = programs::Run("dpkg-deb", {"-c", deb});
  ASSERT_TRUE(contents.finished && contents.exitCode == 0) << contents.err;
  for (const char* path : {"./usr/bin/specterm -> ../lib/halden/specterm", "./usr/lib/halden/libFFT.so",
                           "./usr/bin/orbscope", "./usr/bin/modemsim", "./usr/share/applications/specterm.desktop"})
    EXPECT_NE(contents.out.find(path), std::string::npos) << path;
  EXPECT_EQ(contents.out.find("_test"), std::string::npos) << "no test binary";
}

}  // namespace
