// The re-flash dialog: its fields from the registry, Browse, and the upload
// against the simulator with its status texts, errors and registry values.

#include "monitor/ConstellationMonitor.h"
#include "monitor/DialogHandler.h"
#include "monitor/Identifiers.h"
#include "monitor/RegistryKey.h"
#include "monitor/WinException.h"
#include "reflash/FirmwareUpload.h"
#include "reflash/ReflashDialog.h"

#include "FileFtpServer.h"
#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "registry/Registry.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using namespace orbscope;
using namespace std::chrono_literals;
using testsupport::WaitUntil;

constexpr ReflashTiming kFastTiming{std::chrono::milliseconds(20), std::chrono::milliseconds(60000)};

TEST(FlashStatusTest, ParsesDoneOfTotal) {
  EXPECT_EQ(ParseFlashStatus("3 of 10"), std::make_pair(3, 10));
  EXPECT_EQ(ParseFlashStatus("10 of 10 blocks"), std::make_pair(10, 10));
  EXPECT_FALSE(ParseFlashStatus("erasing").has_value());
  EXPECT_FALSE(ParseFlashStatus("3 / 10").has_value());
  EXPECT_FALSE(ParseFlashStatus("").has_value());
}

TEST(TargetsTest, SeventeenInOrder) {
  ASSERT_EQ(kReflashTargetCount, 17);
  EXPECT_EQ(TargetIndex("bulk:"), 0);
  EXPECT_EQ(TargetIndex("app:"), 1);
  EXPECT_EQ(TargetIndex("fast:"), 16);
  EXPECT_EQ(TargetIndex("boot:"), 14);
  EXPECT_EQ(TargetIndex("custom:"), -1);
  EXPECT_EQ(TargetIndex("APP:"), -1);
}

class ReflashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::DialogSeam::ClearShown();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kOrbscopeRegistryPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, kDataFileValue);
      RegDeleteValueA(key, kImageTypeValue);
      RegCloseKey(key);
    }
  }

  // The dialog over a monitor for address, not shown unless asked.
  struct Dialog {
    explicit Dialog(const std::string& address, ReflashTiming timing = kFastTiming)
        : monitor(CTextBuf(address.c_str())), factory(monitor, timing), window(ReflashTemplate, factory, nullptr) {}
    CReflashDialog& Handler() { return *static_cast<CReflashDialog*>(window.Handler()); }
    QLineEdit* LocalFile() { return DlgItem<QLineEdit>(&window, IDC_LOCAL_FILE); }
    QComboBox* RemoteFile() { return DlgItem<QComboBox>(&window, IDC_REMOTE_FILE); }
    QLabel* Status() { return DlgItem<QLabel>(&window, IDC_STATUS); }
    // Presses OK and waits until the re-flash has ended.
    bool Flash() {
      window.show();
      DlgItem<QPushButton>(&window, IDOK)->click();
      return WaitUntil([&] { return !Handler().Busy(); }, 30s);
    }
    std::vector<QString> History() { return Handler().StatusHistory(); }

    CConstellationMonitor monitor;
    CReflashDialogFactory factory;
    CHandlerDialog window;
  };

  static void Remember(const char* file, DWORD type) {
    CRegistryKey key(0, kOrbscopeRegistryPath);
    key.WriteText(kDataFileValue, file);
    key.WriteDword(kImageTypeValue, type);
  }

  static int StoresOf(testsupport::ModemSim& sim, const std::string& target) {
    int count = 0;
    for (const std::string& line : sim.LogLines())
      if (line.find("STOR " + target) != std::string::npos) ++count;
    return count;
  }

  testsupport::TempDir dir;
  std::string Image(const std::string& name, std::size_t size) {
    testsupport::WriteFile(dir.File(name), std::string(size, '\x5a'));
    return dir.File(name);
  }
};

TEST_F(ReflashTest, FirstUseShowsNoFileAndBulk) {
  Dialog dialog("127.0.0.1:1");
  EXPECT_EQ(dialog.window.windowTitle(), "Modem reFLASH");
  EXPECT_EQ(dialog.LocalFile()->text(), "");
  ASSERT_EQ(dialog.RemoteFile()->count(), 17);
  EXPECT_EQ(dialog.RemoteFile()->itemText(6), "turbo:");
  EXPECT_EQ(dialog.RemoteFile()->currentIndex(), 0);
  EXPECT_EQ(dialog.RemoteFile()->currentText(), "bulk:");
  EXPECT_TRUE(dialog.RemoteFile()->isEditable());
}

TEST_F(ReflashTest, OpensWithTheRememberedFileAndTarget) {
  Remember("/srv/fw/modfilt.bin", 3);
  Dialog dialog("127.0.0.1:1");
  EXPECT_EQ(dialog.LocalFile()->text(), "/srv/fw/modfilt.bin");
  EXPECT_EQ(dialog.RemoteFile()->currentText(), "modfilt:");
}

TEST_F(ReflashTest, OpensWithTheListClosedAndEscapeOnAnOpenListClosesOnlyTheList) {
  Dialog dialog("127.0.0.1:1");
  dialog.window.show();
  const auto escape = [&] {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog.window, &press);
  };
  EXPECT_FALSE(WaitUntil([&] { return dialog.RemoteFile()->view()->isVisible(); }, 300ms)) << "opened by itself";
  dialog.RemoteFile()->showPopup();
  ASSERT_TRUE(dialog.RemoteFile()->view()->isVisible());
  escape();
  EXPECT_FALSE(dialog.RemoteFile()->view()->isVisible());
  EXPECT_TRUE(dialog.window.isVisible());
  escape();
  EXPECT_FALSE(dialog.window.isVisible());
  EXPECT_EQ(dialog.window.result(), 0);
}

TEST_F(ReflashTest, ATypedTargetRememberedAsMinusOneSelectsNothing) {
  Remember("/srv/fw/x.bin", 0xFFFFFFFFu);
  Dialog dialog("127.0.0.1:1");
  EXPECT_EQ(dialog.RemoteFile()->currentIndex(), -1);
  EXPECT_EQ(dialog.RemoteFile()->currentText(), "");
  EXPECT_EQ(dialog.LocalFile()->text(), "/srv/fw/x.bin");
}

TEST_F(ReflashTest, AnUnreadableValueResetsBoth) {
  CRegistryKey key(0, kOrbscopeRegistryPath);
  key.WriteText(kDataFileValue, "/srv/fw/app.bin");
  key.WriteText(kImageTypeValue, "1");
  Dialog dialog("127.0.0.1:1");
  EXPECT_EQ(dialog.LocalFile()->text(), "");
  EXPECT_EQ(dialog.RemoteFile()->currentText(), "bulk:");
}

TEST_F(ReflashTest, BrowseStartsInTheFolderOfTheBoxAndTakesTheChoice) {
  Dialog dialog("127.0.0.1:1");
  dialog.LocalFile()->setText("/home/bench/images/app.bin");
  forms::DialogSeam::QueueFileAnswer(QStringLiteral("/home/bench/images/new.bin"));
  DlgItem<QPushButton>(&dialog.window, IDC_BROWSE)->click();
  auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, forms::ShownDialog::Kind::FileDialog);
  EXPECT_EQ(shown[0].file.kind, forms::FileDialogRequest::Kind::Open);
  EXPECT_EQ(shown[0].file.title, "File Open");
  EXPECT_EQ(shown[0].file.initialFolder, "/home/bench/images/");
  EXPECT_EQ(shown[0].file.filter, "BIN Files|*.bin");
  EXPECT_EQ(shown[0].file.defaultExtension, "bin");
  EXPECT_EQ(dialog.LocalFile()->text(), "/home/bench/images/new.bin");

  forms::DialogSeam::ClearShown();
  dialog.LocalFile()->setText("app.bin");
  DlgItem<QPushButton>(&dialog.window, IDC_BROWSE)->click();  // cancelled
  EXPECT_EQ(forms::DialogSeam::Shown().at(0).file.initialFolder, ".");
  EXPECT_EQ(dialog.LocalFile()->text(), "") << "a cancelled choice empties the box";
}

TEST_F(ReflashTest, CancelEndsWithZero) {
  Dialog dialog("127.0.0.1:1");
  dialog.window.show();
  DlgItem<QPushButton>(&dialog.window, IDCANCEL)->click();
  EXPECT_EQ(dialog.window.result(), 0);
  EXPECT_FALSE(dialog.window.isVisible());
}

TEST_F(ReflashTest, UploadsAndFollowsTheFlashToCompletion) {
  testsupport::ModemSim sim({"--flash-blocks", "4", "--flash-step-ms", "80"});
  Dialog dialog(sim.Address());
  const std::string image = Image("app.bin", 70000);
  dialog.LocalFile()->setText(QString::fromStdString(image));
  dialog.RemoteFile()->setCurrentIndex(1);
  ASSERT_TRUE(dialog.Flash());

  const std::vector<QString> history = dialog.History();
  ASSERT_GE(history.size(), 4u);
  EXPECT_EQ(history.front(), "Sending data file...");
  EXPECT_EQ(history[1], "Writing FLASH: 0 of 4");
  EXPECT_EQ(history[history.size() - 2], "Writing FLASH: 4 of 4");
  EXPECT_EQ(history.back(), "reFLASH is complete!");
  int previous = -1;
  for (std::size_t k = 1; k + 1 < history.size(); ++k) {
    const auto progress = ParseFlashStatus(history[k].mid(15).toStdString());
    ASSERT_TRUE(progress.has_value()) << history[k].toStdString();
    EXPECT_GE(progress->first, previous) << "progress never goes back";
    previous = progress->first;
  }
  EXPECT_EQ(dialog.Status()->text(), "reFLASH is complete!");
  EXPECT_EQ(dialog.window.result(), 1);
  EXPECT_FALSE(dialog.window.isVisible());
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 1u) << "the outcome, once the dialog has closed";
  EXPECT_EQ(shown[0].text, QString::fromStdString("reFLASH is complete!\n\n" + image + " was written to \"app:\"."));
  EXPECT_EQ(shown[0].title, "Modem reFLASH");
  EXPECT_EQ(shown[0].style, forms::vbInformation);
  EXPECT_EQ(StoresOf(sim, "app:"), 1);

  CRegistryKey key(0, kOrbscopeRegistryPath);
  EXPECT_EQ(std::string(key.ReadText(kDataFileValue)), image);
  EXPECT_EQ(key.ReadDword(kImageTypeValue), 1u);
}

TEST_F(ReflashTest, AMissingFileIsReportedAndNothingIsSent) {
  testsupport::ModemSim sim;
  Dialog dialog(sim.Address());
  dialog.LocalFile()->setText(QString::fromStdString(dir.File("missing.bin")));
  ASSERT_TRUE(dialog.Flash());
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Could not open selected file!");
  EXPECT_EQ(shown[0].title, "FTP");
  EXPECT_EQ(shown[0].style, forms::vbCritical);
  EXPECT_EQ(dialog.window.result(), 1);
  EXPECT_EQ(dialog.History(), std::vector<QString>{"Sending data file..."});
  EXPECT_EQ(StoresOf(sim, ""), 0);
  CRegistryKey key(0, kOrbscopeRegistryPath);
  EXPECT_THROW(key.ReadText(kDataFileValue), WinException);
}

TEST_F(ReflashTest, AnEmptyFileCannotBeMapped) {
  testsupport::ModemSim sim;
  Dialog dialog(sim.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("empty.bin", 0)));
  ASSERT_TRUE(dialog.Flash());
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, "Internal Error #144527!");
  EXPECT_EQ(StoresOf(sim, ""), 0);
}

// The simulator takes only its own targets; a plain FTP server takes any
// name, and its "status:" file says the flash is written.
TEST_F(ReflashTest, ATypedTargetIsUploadedWholeAndRememberedAsMinusOne) {
  orbscope::test::FileFtpServer server;
  server.SetFile("status:", "1 of 1");
  Dialog dialog(server.Address());
  std::string image;
  for (int k = 0; k < 5000; ++k) image.push_back(static_cast<char>(k * 7));
  testsupport::WriteFile(dir.File("custom.bin"), image);
  dialog.LocalFile()->setText(QString::fromStdString(dir.File("custom.bin")));
  dialog.RemoteFile()->setEditText("custom:");
  ASSERT_TRUE(dialog.Flash());
  EXPECT_EQ(dialog.History().back(), "reFLASH is complete!");
  EXPECT_EQ(server.File("custom:"), image) << "the whole image, byte for byte";
  CRegistryKey key(0, kOrbscopeRegistryPath);
  EXPECT_EQ(key.ReadDword(kImageTypeValue), 0xFFFFFFFFu);

  Dialog next(server.Address());
  EXPECT_EQ(next.RemoteFile()->currentIndex(), -1) << "the next opening selects no item";
  EXPECT_EQ(next.LocalFile()->text(), QString::fromStdString(dir.File("custom.bin")));
}

TEST_F(ReflashTest, OnlyTwentyFourCharactersOfTheTargetAreUsed) {
  orbscope::test::FileFtpServer server;
  server.SetFile("status:", "1 of 1");
  Dialog dialog(server.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("long.bin", 100)));
  dialog.RemoteFile()->setEditText("abcdefghijklmnopqrstuvwxyz:");
  ASSERT_TRUE(dialog.Flash());
  EXPECT_EQ(server.File("abcdefghijklmnopqrstuvwx").size(), 100u);
  EXPECT_EQ(dialog.History().back(), "reFLASH is complete!");
}

TEST_F(ReflashTest, AnUnparsableStatusDoesNotEndTheWait) {
  orbscope::test::FileFtpServer server;
  server.SetFile("status:", "erasing");
  Dialog dialog(server.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  dialog.window.show();
  DlgItem<QPushButton>(&dialog.window, IDOK)->click();
  ASSERT_TRUE(WaitUntil([&] { return dialog.History().size() >= 3; }, 10s));
  EXPECT_EQ(dialog.History()[1], "Writing FLASH: erasing");
  EXPECT_TRUE(dialog.Handler().Busy());
  server.SetFile("status:", "7 of 7");
  ASSERT_TRUE(WaitUntil([&] { return !dialog.Handler().Busy(); }, 10s));
  EXPECT_EQ(dialog.History().back(), "reFLASH is complete!");
}

TEST_F(ReflashTest, AStalledFlashFailsAfterTheLimit) {
  testsupport::ModemSim sim({"--flash-blocks", "5", "--flash-step-ms", "20", "--fault", "flash-stall"});
  Dialog dialog(sim.Address(), ReflashTiming{std::chrono::milliseconds(20), std::chrono::milliseconds(400)});
  dialog.LocalFile()->setText(QString::fromStdString(Image("stall.bin", 500)));
  ASSERT_TRUE(dialog.Flash());
  const auto history = dialog.History();
  EXPECT_EQ(history.back(), "reFLASH failed!");
  EXPECT_GE(history.size(), 3u) << "the status was read before giving up";
  EXPECT_EQ(dialog.window.result(), 1);
  ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u);
  EXPECT_EQ(forms::DialogSeam::Shown()[0].text, "reFLASH failed!\n\nThe modem reported no progress for 0.4 s.");
  CRegistryKey key(0, kOrbscopeRegistryPath);
  EXPECT_THROW(key.ReadDword(kImageTypeValue), WinException) << "nothing remembered";
}

TEST_F(ReflashTest, AStatusThatGoesBackAndForthFailsAfterTheLimit) {
  orbscope::test::FileFtpServer server;
  server.SetSteps("status:", {"1 of 10", "2 of 10"});
  Dialog dialog(server.Address(), ReflashTiming{std::chrono::milliseconds(20), std::chrono::milliseconds(400)});
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  ASSERT_TRUE(dialog.Flash()) << "only forward progress restarts the limit";
  const auto history = dialog.History();
  EXPECT_EQ(history.back(), "reFLASH failed!");
  EXPECT_GE(std::count(history.begin(), history.end(), "Writing FLASH: 1 of 10"), 2);
  EXPECT_GE(std::count(history.begin(), history.end(), "Writing FLASH: 2 of 10"), 2);
}

TEST_F(ReflashTest, AnUnreachableModemFails) {
  Dialog dialog("127.0.0.1:" + std::to_string(testsupport::FreeLoopbackPort()));
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  ASSERT_TRUE(dialog.Flash());
  EXPECT_EQ(dialog.History().back(), "reFLASH failed!");
  ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u);
  EXPECT_TRUE(forms::DialogSeam::Shown()[0].text.startsWith("reFLASH failed!\n\nThe modem at 127.0.0.1:"));
  EXPECT_EQ(forms::DialogSeam::Shown()[0].style, forms::vbCritical);
}

TEST_F(ReflashTest, ARefusedTargetIsToldWithTheModemsReply) {
  testsupport::ModemSim sim({"--fault", "deny=app:"});
  Dialog dialog(sim.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  dialog.RemoteFile()->setCurrentIndex(1);
  ASSERT_TRUE(dialog.Flash());
  ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u);
  EXPECT_TRUE(forms::DialogSeam::Shown()[0].text.startsWith(
      "reFLASH failed!\n\nThe modem did not accept an image for \"app:\".\nThe modem said: 550"));
}

TEST_F(ReflashTest, ARegistryWriteFailureAfterSuccessIsShownAndTheProgramGoesOn) {
  testsupport::ModemSim sim({"--flash-blocks", "1", "--flash-step-ms", "20"});
  Dialog dialog(sim.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  // A registry folder below a plain file cannot be written, not even by root.
  const std::string saved = std::getenv("HALDEN_REGISTRY_DIR");
  testsupport::WriteFile(dir.File("plain"), "x");
  setenv("HALDEN_REGISTRY_DIR", dir.File("plain/registry").c_str(), 1);
  const bool ended = dialog.Flash();
  setenv("HALDEN_REGISTRY_DIR", saved.c_str(), 1);
  ASSERT_TRUE(ended);
  EXPECT_EQ(dialog.History().back(), "reFLASH is complete!");
  const auto shown = forms::DialogSeam::Shown();
  ASSERT_EQ(shown.size(), 2u) << "the registry's failure, then the outcome";
  EXPECT_EQ(shown[1].style, forms::vbInformation);
  EXPECT_EQ(shown[0].title, "Modem reFLASH");
  EXPECT_TRUE(shown[0].text.startsWith("Registry key SOFTWARE\\Tavlor\\Orbscope") ||
              shown[0].text.startsWith("Error setting Registry value"))
      << shown[0].text.toStdString();
  EXPECT_EQ(dialog.window.result(), 1);
}

TEST_F(ReflashTest, TheDialogTakesNoInputWhileFlashing) {
  testsupport::ModemSim sim({"--flash-blocks", "3", "--flash-step-ms", "100"});
  Dialog dialog(sim.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  dialog.window.show();
  DlgItem<QPushButton>(&dialog.window, IDOK)->click();
  ASSERT_TRUE(dialog.Handler().Busy());
  for (const int id : {IDOK, IDC_BROWSE, IDC_LOCAL_FILE, IDC_REMOTE_FILE})
    EXPECT_FALSE(GetDlgItem(&dialog.window, id)->isEnabled()) << id;
  DlgItem<QPushButton>(&dialog.window, IDOK)->click();
  EXPECT_TRUE(dialog.window.isVisible());
  ASSERT_TRUE(WaitUntil([&] { return dialog.History().size() >= 2; }, 10s));
  EXPECT_EQ(dialog.Status()->text().left(15), "Writing FLASH: ") << "the status line shows the progress";
  ASSERT_TRUE(WaitUntil([&] { return !dialog.Handler().Busy(); }, 30s));
  EXPECT_EQ(dialog.History().back(), "reFLASH is complete!");
}

// Cancel ends the wait for the flash at once, even with a read of "status:"
// hanging on a modem that stopped answering, and the re-flash has failed.
TEST_F(ReflashTest, CancelEndsTheWaitForTheFlash) {
  testsupport::ModemSim sim({"--flash-blocks", "5", "--fault", "flash-stall"});
  Dialog dialog(sim.Address(), ReflashTiming{std::chrono::milliseconds(200), std::chrono::milliseconds(60000)});
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  dialog.window.show();
  DlgItem<QPushButton>(&dialog.window, IDOK)->click();
  ASSERT_TRUE(WaitUntil([&] { return dialog.History().size() >= 2; }, 10s));
  ASSERT_TRUE(orbscope::test::SimFault(sim, "slow=30000"));
  auto* cancel = DlgItem<QPushButton>(&dialog.window, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return cancel->isEnabled(); }, 5s));
  // Once the re-flash's session (#1) sends a command after the fault, a
  // read of "status:" hangs.
  ASSERT_TRUE(WaitUntil([&] { return sim.LogLines().back().find("#1 > ") != std::string::npos; }, 5s));
  cancel->click();
  ASSERT_TRUE(WaitUntil([&] { return !dialog.Handler().Busy(); }, 3s));
  EXPECT_EQ(dialog.History().back(), "reFLASH failed!");
  EXPECT_FALSE(dialog.window.isVisible());
  ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u);
  EXPECT_EQ(forms::DialogSeam::Shown()[0].text,
            "reFLASH failed!\n\nCancelled by the user while the modem was writing its flash; the image had been sent.");
}

// Escape ends a connection attempt to a modem that never answers.
TEST_F(ReflashTest, CancelEndsAConnectionAttempt) {
  orbscope::test::SilentModem silent;
  Dialog dialog(silent.Address());
  dialog.LocalFile()->setText(QString::fromStdString(Image("app.bin", 100)));
  dialog.window.show();
  DlgItem<QPushButton>(&dialog.window, IDOK)->click();
  ASSERT_TRUE(WaitUntil([&] { return silent.Accepted() == 1; }, 5s));
  dialog.window.reject();
  ASSERT_TRUE(WaitUntil([&] { return !dialog.Handler().Busy(); }, 3s));
  EXPECT_EQ(dialog.History().back(), "reFLASH failed!");
  ASSERT_EQ(forms::DialogSeam::Shown().size(), 1u);
  EXPECT_EQ(forms::DialogSeam::Shown()[0].text, "reFLASH failed!\n\nCancelled by the user before the image was sent.");
}

}  // namespace
