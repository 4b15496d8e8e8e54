// scripts/install of this build into a temporary prefix: the installed
// programs run (specterm finds libFFT.so: three data sets need the
// transform), the desktop entries are valid, the manual pages read, nothing
// of the tests is there, and the uninstall takes away all it put there and
// nothing else.

#include "ProgramRun.h"
#include "TestSupport.h"
#include "Version.h"

#include <QDirIterator>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;

// The files and folders below a folder, as paths relative to it.
QSet<QString> Tree(const QString& dir) {
  QSet<QString> paths;
  for (QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
       it.hasNext();)
    paths << QDir(dir).relativeFilePath(it.next());
  return paths;
}

TEST(InstallTest, InstalledProgramsRunFromThePrefixAndTheUninstallTakesThemAway) {
  testsupport::TempDir prefix;
  testsupport::TempDir work;
  const auto in = [&](const std::string& path) { return QString::fromStdString(prefix.File(path)); };
  // What the user had there before stays.
  QDir().mkpath(in("bin"));
  testsupport::WriteFile(prefix.File("bin/own-tool"), "#!/bin/sh\n");
  const QString script = QStringLiteral(HALDEN_SOURCE_DIR "/scripts/install");
  const programs::RunResult install =
      programs::Run(script, {"--from", HALDEN_BUILD_DIR, in("")}, programs::WithoutDisplay(), 120000);
  ASSERT_TRUE(install.finished && install.exitCode == 0) << install.out << install.err;

  for (const std::string program : {"specterm", "orbscope", "modemsim", "specterm-dataset"}) {
    const programs::RunResult run = programs::Run(in("bin/" + program), {"--version"});
    EXPECT_EQ(run.out, program + " " + kVersionText + "\n") << run.err;
    QProcessEnvironment env = programs::WithoutDisplay();
    env.insert("MANWIDTH", "200");  // no justified spaces
    const programs::RunResult page =
        programs::Run("man", {"-l", "-P", "cat", in("share/man/man1/" + program + ".1.gz")}, env);
    EXPECT_TRUE(page.finished && page.exitCode == 0) << page.err;
    EXPECT_NE(page.out.find("NAME\n       " + program + " - "), std::string::npos) << page.out;
    EXPECT_NE(page.out.find("--help"), std::string::npos) << page.out;
  }
  EXPECT_TRUE(QFile::exists(in("share/doc/halden-modem-tools/copyright")));
  EXPECT_TRUE(QFile::exists(in("share/doc/halden-modem-tools/changelog.gz")));
  const programs::RunResult valid = programs::Run(
      "desktop-file-validate", {in("share/applications/specterm.desktop"), in("share/applications/orbscope.desktop")});
  EXPECT_TRUE(valid.finished && valid.exitCode == 0 && valid.out.empty()) << valid.out << valid.err;
  EXPECT_EQ(QImage(in("share/icons/hicolor/48x48/apps/orbscope.png")).size(), QSize(48, 48));
  for (QDirIterator it(in(""), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    const QString file = QDir(in("")).relativeFilePath(it.next());
    EXPECT_FALSE(file.contains("test") || file.contains("bench")) << file.toStdString();
  }

  testsupport::ChildProcess sim({prefix.File("bin/modemsim"), "--port", "0", "--log", work.File("sim.log")});
  const std::optional<std::string> listening = sim.ReadLine(10s);
  ASSERT_TRUE(listening && listening->rfind("listening on ", 0) == 0);
  testsupport::WriteFile(work.File("HKEY_CURRENT_USER.reg"),
                         "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\Configuration]\n"
                         "\"StopUpdates\"=\"False\"\n\n[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer\\"
                         "Halden Modems]\n\"ModemCount\"=\"1\"\n\"LastModem\"=\"Sim\"\n\n[HKEY_CURRENT_USER\\Software\\"
                         "Halden Spectrum Analyzer\\Halden Modems\\Modem1]\n\"ModemName\"=\"Sim\"\n\"IP_Address\"=\"" +
                             listening->substr(13) + "\"\n");
  QProcessEnvironment env = programs::WithoutDisplay();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("HALDEN_REGISTRY_DIR", QString::fromStdString(work.Path()));
  const QString picture = QString::fromStdString(work.File("s.png"));
  const programs::RunResult specterm = programs::Run(in("bin/specterm"), {"--snapshot", picture}, env, 90000);
  EXPECT_TRUE(specterm.finished && specterm.exitCode == 0) << specterm.err;
  EXPECT_FALSE(QImage(picture).isNull());

  const programs::RunResult uninstall = programs::Run(script, {"--uninstall", in("")});
  ASSERT_TRUE(uninstall.finished && uninstall.exitCode == 0) << uninstall.out << uninstall.err;
  EXPECT_EQ(Tree(in("")), (QSet<QString>{"bin", "bin/own-tool"}));
}

}  // namespace
