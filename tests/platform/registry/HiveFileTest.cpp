// The hive file on disk: parsed once while it is unchanged (and again as
// soon as anyone changes it), and written keeping what the user chose for
// it: its permissions, a symbolic link to it, a read-only file. A hive path
// that is no hive file (a device, a FIFO, a huge file) is left alone.

#include "RegistryTestUtil.h"
#include "registry/Hive.h"
#include "registry/HiveCache.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
using registrytest::RegistryFixture;
using testsupport::ReadFile;
using testsupport::WriteFile;

class HiveFileTest : public RegistryFixture {
 protected:
  static mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
  }
  void WriteHive(const std::string& path, const std::string& value) {
    fs::create_directories(fs::path(path).parent_path());
    WriteFile(path, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\File]\n\"Value\"=\"" + value + "\"\n");
  }
  std::optional<std::string> ReadValue() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\File", &key) != ERROR_SUCCESS) return std::nullopt;
    auto text = GetText(key, "Value");
    RegCloseKey(key);
    return text;
  }
  LSTATUS WriteValue(const std::string& text) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyA(HKEY_CURRENT_USER, "Software\\File", &key);
    if (status == ERROR_SUCCESS) status = SetText(key, "Value", text);
    RegCloseKey(key);
    return status;
  }
};

TEST_F(HiveFileTest, ParsedOnceWhileUnchangedAndAgainWhenChanged) {
  WriteHive(UserHive(), "one");
  ASSERT_EQ(ReadValue(), "one");
  const long parses = registry::detail::ParseCount();
  for (int i = 0; i < 50; ++i) ASSERT_EQ(ReadValue(), "one");
  EXPECT_EQ(registry::detail::ParseCount(), parses);

  // Changed in place, to the same size and within the same clock tick.
  WriteHive(UserHive(), "two");
  EXPECT_EQ(ReadValue(), "two");
  // Replaced by another writer.
  WriteHive(UserHive() + ".new", "three");
  fs::rename(UserHive() + ".new", UserHive());
  EXPECT_EQ(ReadValue(), "three");
  // What this process wrote needs no parse to be read back.
  ASSERT_EQ(WriteValue("four"), ERROR_SUCCESS);
  const long afterWrite = registry::detail::ParseCount();
  EXPECT_EQ(ReadValue(), "four");
  EXPECT_EQ(registry::detail::ParseCount(), afterWrite);
}

TEST_F(HiveFileTest, WritesKeepTheFilesPermissions) {
  for (const mode_t mode : {0600, 0640, 0644, 0664}) {
    WriteHive(UserHive(), "old");
    fs::permissions(UserHive(), static_cast<fs::perms>(mode));
    ASSERT_EQ(WriteValue("new" + std::to_string(mode)), ERROR_SUCCESS);
    EXPECT_EQ(ModeOf(UserHive()), mode);
    EXPECT_EQ(ReadValue(), "new" + std::to_string(mode));
  }
}

TEST_F(HiveFileTest, ASymbolicLinkIsWrittenThroughToItsTarget) {
  for (const bool relative : {false, true}) {
    const std::string target = dir_.File(relative ? "kept/relative.reg" : "kept/absolute.reg");
    WriteHive(target, "old");
    fs::remove(UserHive());
    fs::create_directories(Folder());
    fs::create_symlink(relative ? fs::path("../kept/relative.reg") : fs::path(target), UserHive());
    ASSERT_EQ(WriteValue("new"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_symlink(UserHive()));
    EXPECT_NE(ReadFile(target).find("\"Value\"=\"new\""), std::string::npos);
    EXPECT_EQ(ReadValue(), "new");
  }
}

TEST_F(HiveFileTest, AReadOnlyHiveIsLeftAloneAndReportedOnce) {
  WriteHive(UserHive(), "old");
  const std::string before = ReadFile(UserHive());
  fs::permissions(UserHive(), static_cast<fs::perms>(0444));
  testing::internal::CaptureStderr();
  EXPECT_EQ(WriteValue("new"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(WriteValue("newer"), ERROR_ACCESS_DENIED);
  // Opening what exists changes nothing, and so still works.
  EXPECT_EQ(WriteValue("old"), ERROR_SUCCESS);
  const std::string reported = testing::internal::GetCapturedStderr();
  EXPECT_EQ(ReadFile(UserHive()), before);
  EXPECT_EQ(ModeOf(UserHive()), 0444u);
  EXPECT_EQ(ReadValue(), "old");
  const std::string message = UserHive() + " is read-only";
  const std::size_t first = reported.find(message);
  EXPECT_NE(first, std::string::npos) << reported;
  EXPECT_EQ(reported.find(message, first + 1), std::string::npos) << reported;
}

TEST_F(HiveFileTest, AHiveThatIsNoFileGivesTheDefaultsAndIsLeftAlone) {
  const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
      {"a link to /dev/zero", [](const std::string& path) { fs::create_symlink("/dev/zero", path); }},
      {"a FIFO", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
      {"a file over the size limit",
       [this](const std::string& path) {
         WriteHive(path, "old");
         fs::resize_file(path, registry::detail::MaxHiveBytes + 1);
       }},
  };
  int n = 0;
  for (const auto& [what, make] : cases) {
    // Each in a folder of its own: a place is reported once per process.
    const std::string folder = dir_.File("case" + std::to_string(++n));
    const registrytest::ScopedEnv env("HALDEN_REGISTRY_DIR", folder);
    const std::string hive = folder + "/HKEY_CURRENT_USER.reg";
    fs::create_directories(folder);
    make(hive);
    const fs::file_status before = fs::symlink_status(hive);
    // Read and written at once: a FIFO would block the open, /dev/zero fill
    // the memory.
    testing::internal::CaptureStderr();
    const std::optional<std::string> read = ReadValue();
    const LSTATUS written = WriteValue("new");
    const std::string reported = testing::internal::GetCapturedStderr();
    EXPECT_EQ(read, std::nullopt) << what;
    EXPECT_NE(written, ERROR_SUCCESS) << what;
    EXPECT_EQ(fs::symlink_status(hive).type(), before.type()) << what;
    EXPECT_FALSE(fs::exists(hive + ".bad")) << what;
    const std::size_t first = reported.find(hive + " is ");
    EXPECT_NE(first, std::string::npos) << what << ": " << reported;
    EXPECT_EQ(reported.find(hive, first + 1), std::string::npos) << what << ": " << reported;
  }
}

}  // namespace
