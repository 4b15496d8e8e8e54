#include "RegistryTestUtil.h"
#include "registry/Hive.h"

#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace {

using registrytest::RegistryFixture;
using registrytest::ScopedEnv;
using testsupport::ReadFile;
using testsupport::WriteFile;

class RegistryTest : public RegistryFixture {};

TEST_F(RegistryTest, TextsAndNumbersKeepTheirTypesAndBytes) {
  HKEY key = Create(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavlor\\Orbscope");
  const std::vector<std::string> texts = {"plain", "say \"hi\"",  "C:\\dir\\", "a=b=c", "\xc3\xa9\xff\x01 bytes",
                                          "",      "two\r\nlines"};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_EQ(SetText(key, ("Text" + std::to_string(i)).c_str(), texts[i]), ERROR_SUCCESS);
  }
  ASSERT_EQ(SetDword(key, "ImageType", 0xFFFFFFFFu), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key, "Zero", 0), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  // A fresh handle reads everything back from the file.
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Tavlor\\Orbscope", 0, KEY_READ, &key), ERROR_SUCCESS);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(GetText(key, ("Text" + std::to_string(i)).c_str()), texts[i]) << i;
  }
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD size = sizeof value;
  ASSERT_EQ(RegQueryValueExA(key, "ImageType", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(static_cast<LONG>(value), -1);
  RegCloseKey(key);

  const std::string file = ReadFile(MachineHive());
  EXPECT_EQ(file.rfind("REGEDIT4\n", 0), 0u);
  EXPECT_NE(file.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tavlor\\Orbscope]\n"), std::string::npos);
  EXPECT_NE(file.find("\"Text1\"=\"say \\\"hi\\\"\"\n"), std::string::npos);
  EXPECT_NE(file.find("\"Text2\"=\"C:\\\\dir\\\\\"\n"), std::string::npos);
  EXPECT_NE(file.find("\"ImageType\"=dword:ffffffff\n"), std::string::npos);
  EXPECT_EQ(ReadFile(UserHive()), "");  // the other hive is untouched
}

TEST_F(RegistryTest, QueryReportsTypeAndSizeAndShortBuffers) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Halden Spectrum Analyzer\\Configuration");
  ASSERT_EQ(SetText(key, "LastPath", "/home/user/"), ERROR_SUCCESS);

  DWORD type = REG_NONE;
  DWORD size = 0;
  ASSERT_EQ(RegQueryValueExA(key, "LastPath", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 12u);  // the text and its NUL

  char small[4] = {'x', 'x', 'x', 'x'};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueExA(key, "LastPath", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 12u);
  // Room for the characters but not the NUL is still too small.
  char exact[11];
  size = sizeof exact;
  EXPECT_EQ(RegQueryValueExA(key, "LastPath", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &size),
            ERROR_MORE_DATA);

  // Read as a number, a text is found but says it is REG_SZ: the caller's
  // type check catches it.
  DWORD number = 0;
  size = sizeof number;
  type = REG_NONE;
  const LSTATUS status = RegQueryValueExA(key, "LastPath", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
  EXPECT_TRUE(status == ERROR_MORE_DATA || type != REG_DWORD);
  EXPECT_EQ(type, REG_SZ);

  EXPECT_EQ(RegQueryValueExA(key, "LastPath", nullptr, nullptr, reinterpret_cast<BYTE*>(small), nullptr),
            ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryTest, MissingKeysAndValues) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Nothing", &key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);
  // Reading creates nothing: not even the folder.
  EXPECT_FALSE(std::filesystem::exists(Folder()));

  key = Create(HKEY_CURRENT_USER, "Software\\Halden Spectrum Analyzer");
  EXPECT_FALSE(GetText(key, "Missing").has_value());
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueA(key, "Missing"), ERROR_FILE_NOT_FOUND);
  HKEY sub = nullptr;
  EXPECT_EQ(RegOpenKeyA(key, "Halden Modems", &sub), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Nothing"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Halden Spectrum Analyzer");
  ASSERT_EQ(SetText(key, "LastModem", "Hub A"), ERROR_SUCCESS);
  RegCloseKey(key);
  HKEY again = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\halden spectrum analyzer", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &again, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(GetText(again, "LASTMODEM"), "Hub A");
  ASSERT_EQ(SetText(again, "lastmodem", "Hub B"), ERROR_SUCCESS);
  RegCloseKey(again);
  const std::string file = ReadFile(UserHive());
  EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Halden Spectrum Analyzer]\n\"LastModem\"=\"Hub B\"\n"),
            std::string::npos)
      << file;
}

TEST_F(RegistryTest, KeysNestAndDeleteOnlyWithoutSubkeys) {
  HKEY deep = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\App\\Halden Modems\\Modem1", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &deep, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  ASSERT_EQ(SetText(deep, "ModemName", "North"), ERROR_SUCCESS);

  // Creating the deep key created its parents, each a key of its own.
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\App\\Halden Modems", &parent), ERROR_SUCCESS);
  HKEY viaParent = nullptr;
  ASSERT_EQ(RegOpenKeyA(parent, "modem1", &viaParent), ERROR_SUCCESS);
  EXPECT_EQ(GetText(viaParent, "ModemName"), "North");

  // An empty key keeps existing in the file.
  HKEY empty = Create(parent, "Modem2");
  RegCloseKey(empty);
  ASSERT_EQ(RegOpenKeyA(parent, "Modem2", &empty), ERROR_SUCCESS);
  RegCloseKey(empty);

  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\App"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\App\\Halden Modems"), ERROR_ACCESS_DENIED);
  // A key with values but no subkeys goes with its values.
  EXPECT_EQ(RegDeleteKeyA(parent, "Modem1"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(parent, "Modem2"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(parent, "Modem1"), ERROR_FILE_NOT_FOUND);

  // Handles of the deleted key say so.
  EXPECT_EQ(SetText(deep, "ModemName", "again"), ERROR_KEY_DELETED);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(viaParent, "ModemName", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\App\\Halden Modems"), ERROR_SUCCESS);
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\App\\Halden Modems", &gone), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadFile(UserHive()).find("Modem"), std::string::npos);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  for (HKEY k : {deep, viaParent, parent}) RegCloseKey(k);
}

TEST_F(RegistryTest, HandlesAndAccessRights) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\X");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetText(key, "v", "x"), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);

  // A new handle never takes the value of a closed one.
  HKEY second = Create(HKEY_CURRENT_USER, "Software\\X");
  EXPECT_NE(second, key);
  RegCloseKey(second);

  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, KEY_READ, &readOnly), ERROR_SUCCESS);
  EXPECT_EQ(SetText(readOnly, "v", "x"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(readOnly, "v"), ERROR_ACCESS_DENIED);
  RegCloseKey(readOnly);
  HKEY writeOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, KEY_WRITE, &writeOnly), ERROR_SUCCESS);
  EXPECT_EQ(SetText(writeOnly, "v", "x"), ERROR_SUCCESS);
  EXPECT_EQ(GetText(writeOnly, "v"), std::nullopt);  // no query right
  RegCloseKey(writeOnly);
}

TEST_F(RegistryTest, DefaultValueAndOddSizes) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Y");
  ASSERT_EQ(SetText(key, nullptr, "default"), ERROR_SUCCESS);
  EXPECT_EQ(GetText(key, ""), "default");
  // A text whose size leaves out the NUL is stored whole all the same.
  ASSERT_EQ(RegSetValueExA(key, "NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3), ERROR_SUCCESS);
  EXPECT_EQ(GetText(key, "NoNul"), "abc");
  ASSERT_EQ(RegSetValueExA(key, "Empty", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(GetText(key, "Empty"), "");
  EXPECT_EQ(RegSetValueExA(key, "Bad", 0, REG_SZ, nullptr, 5), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(SetText(key, "bad\nname", "x"), ERROR_INVALID_PARAMETER);
  RegCloseKey(key);
}

TEST_F(RegistryTest, FolderIsCreatedPrivate) {
  const ScopedEnv env("HALDEN_REGISTRY_DIR", dir_.File("a/b/c"));
  HKEY key = Create(HKEY_CURRENT_USER, "Software");
  RegCloseKey(key);
  struct stat info {};
  ASSERT_EQ(stat(dir_.File("a/b/c").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(dir_.File("a/b/c/HKEY_CURRENT_USER.reg").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(RegistryTest, DamagedFileKeepsWhatParsesAndACopyOfTheRest) {
  std::filesystem::create_directories(Folder());
  const std::string damaged = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Z]\n\"Good\"=\"kept\"\nthis line is damaged\n";
  WriteFile(UserHive(), damaged);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Z", &key), ERROR_SUCCESS);
  EXPECT_EQ(GetText(key, "Good"), "kept");
  EXPECT_FALSE(std::filesystem::exists(UserHive() + ".bad"));  // reading changes nothing

  ASSERT_EQ(SetText(key, "New", "value"), ERROR_SUCCESS);
  EXPECT_EQ(ReadFile(UserHive() + ".bad"), damaged);
  EXPECT_EQ(GetText(key, "Good"), "kept");
  EXPECT_EQ(GetText(key, "New"), "value");
  EXPECT_TRUE(registry::detail::ParseHive(ReadFile(UserHive()), "HKEY_CURRENT_USER").problems.empty());

  // The clean file needs no further copy; a later damage gets a new name.
  ASSERT_EQ(SetText(key, "Newer", "value"), ERROR_SUCCESS);
  EXPECT_FALSE(std::filesystem::exists(UserHive() + ".bad.1"));
  WriteFile(UserHive(), ReadFile(UserHive()) + "more damage\n");
  ASSERT_EQ(SetText(key, "Newest", "value"), ERROR_SUCCESS);
  EXPECT_EQ(ReadFile(UserHive() + ".bad"), damaged);
  EXPECT_NE(ReadFile(UserHive() + ".bad.1").find("more damage"), std::string::npos);
  RegCloseKey(key);
}

TEST_F(RegistryTest, UnreadableOrUnwritablePlacesFailWithoutHarm) {
  // A hive that cannot be read is neither read as empty nor replaced.
  std::filesystem::create_directories(UserHive());
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software", &key), ERROR_CANTREAD);
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software", &key), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(std::filesystem::is_directory(UserHive()));

  // A folder that cannot be made.
  WriteFile(dir_.File("plainfile"), "x");
  const ScopedEnv env("HALDEN_REGISTRY_DIR", dir_.File("plainfile/sub"));
  EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software", &key), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, LeftoverTemporaryFilesAreRemovedByTheNextWriter) {
  std::filesystem::create_directories(Folder());
  WriteFile(UserHive() + ".tmpAbC123", "half a file");
  HKEY key = Create(HKEY_CURRENT_USER, "Software");
  RegCloseKey(key);
  EXPECT_FALSE(std::filesystem::exists(UserHive() + ".tmpAbC123"));
}

TEST_F(RegistryTest, BatchWritesTheHiveOnceAndKeepsOtherWritersWaiting) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Batch");
  ASSERT_EQ(SetText(key, "Before", "1"), ERROR_SUCCESS);
  const std::string before = ReadFile(UserHive());

  std::atomic<bool> otherDone{false};
  std::thread other;
  {
    registry::WriteBatch batch;
    for (int i = 0; i < 50; ++i) ASSERT_EQ(SetText(key, ("Value" + std::to_string(i)).c_str(), "x"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueA(key, "Before"), ERROR_SUCCESS);
    // This thread reads what it wrote; the file still holds the old state.
    EXPECT_EQ(GetText(key, "Value49"), "x");
    EXPECT_EQ(GetText(key, "Before"), std::nullopt);
    EXPECT_EQ(ReadFile(UserHive()), before);

    // A writer outside the batch waits for the hive's lock.
    other = std::thread([&] {
      HKEY otherKey = nullptr;
      RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Batch", &otherKey);
      SetText(otherKey, "Other", "2");
      RegCloseKey(otherKey);
      otherDone = true;
    });
    EXPECT_FALSE(testsupport::WaitUntil([&] { return otherDone.load(); }, std::chrono::milliseconds(200)));
    ASSERT_TRUE(batch.Commit());
  }
  other.join();
  EXPECT_EQ(GetText(key, "Value0"), "x");
  EXPECT_EQ(GetText(key, "Value49"), "x");
  EXPECT_EQ(GetText(key, "Other"), "2");
  EXPECT_EQ(GetText(key, "Before"), std::nullopt);
  RegCloseKey(key);
}

TEST(HiveFolderTest, EnvironmentChoosesTheFolder) {
  const ScopedEnv home("HOME", "/home/tester");
  {
    const ScopedEnv dir("HALDEN_REGISTRY_DIR", "/tmp/regs/");
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg");
    EXPECT_EQ(registry::HiveFolder(), "/tmp/regs");
  }
  const ScopedEnv dir("HALDEN_REGISTRY_DIR", std::nullopt);
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/xdg/config");
    EXPECT_EQ(registry::HiveFolder(), "/xdg/config/halden");
  }
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(registry::HiveFolder(), "/home/tester/.config/halden");
  }
  {
    // Empty or relative values are not used, as the base directory rules say.
    const ScopedEnv xdg("XDG_CONFIG_HOME", "");
    const ScopedEnv emptyDir("HALDEN_REGISTRY_DIR", "");
    EXPECT_EQ(registry::HiveFolder(), "/home/tester/.config/halden");
    const ScopedEnv relative("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(registry::HiveFolder(), "/home/tester/.config/halden");
  }
}

}  // namespace
