#include "RegistryTestUtil.h"
#include "registry/Hive.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace {

using registrytest::RegistryFixture;
using testsupport::ReadFile;
using testsupport::WaitUntil;

// A forked writer; killed and reaped on destruction if still running.
class Writer {
 public:
  template <typename Body>
  explicit Writer(Body body) {
    pid_ = fork();
    if (pid_ == 0) {
      body();
      _exit(0);
    }
  }
  ~Writer() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  bool Started() const { return pid_ > 0; }
  void Kill() { kill(pid_, SIGKILL); }
  int Wait() {
    int status = -1;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    return status;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

class RegistryProcessTest : public RegistryFixture {
 protected:
  bool TemporaryExists() const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(Folder(), error)) {
      if (entry.path().filename().string().find(".tmp") != std::string::npos) return true;
    }
    return false;
  }
};

// The payload of write i: one letter repeated, then the number, so that a
// torn or mixed file shows.
std::string Payload(int i) {
  return std::string(512 * 1024, static_cast<char>('a' + i % 26)) + ":" + std::to_string(i);
}

bool IsWholePayload(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon != 512 * 1024) return false;
  const int i = std::stoi(text.substr(colon + 1));
  return text == Payload(i);
}

TEST_F(RegistryProcessTest, WriterKilledMidWriteLeavesAWholeFile) {
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Stress");
  ASSERT_EQ(SetText(key, "Payload", Payload(0)), ERROR_SUCCESS);

  int killedMidWrite = 0;
  for (int round = 1; round <= 4; ++round) {
    Writer writer([] {
      HKEY child = nullptr;
      if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Stress", &child) != ERROR_SUCCESS) _exit(1);
      for (int i = 1;; ++i) {
        const std::string text = Payload(i);
        RegSetValueExA(child, "Payload", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
      }
    });
    ASSERT_TRUE(writer.Started());
    // Let it complete a few writes (more each round), then kill it without
    // warning while its temporary file exists, that is in the middle of
    // writing the new hive.
    std::string seen = ReadFile(UserHive());
    int changes = 0;
    ASSERT_TRUE(WaitUntil([&] {
      const std::string now = ReadFile(UserHive());
      if (now != seen) {
        seen = now;
        ++changes;
      }
      return changes >= round;
    }));
    ASSERT_TRUE(WaitUntil([&] { return TemporaryExists(); }));
    writer.Kill();
    writer.Wait();
    if (TemporaryExists()) ++killedMidWrite;

    const std::string file = ReadFile(UserHive());
    const auto parsed = registry::detail::ParseHive(file, "HKEY_CURRENT_USER");
    ASSERT_TRUE(parsed.problems.empty()) << "round " << round << ": " << parsed.problems.front();
    const auto* stress = parsed.hive.Find({"Software", "Stress"});
    ASSERT_NE(stress, nullptr);
    const auto* value = registry::detail::Hive::FindValue(*stress, "Payload");
    ASSERT_NE(value, nullptr);
    EXPECT_TRUE(IsWholePayload(value->data)) << "round " << round;
  }
  // How often the kill hit the window is up to the scheduler; say so.
  RecordProperty("KilledMidWrite", killedMidWrite);
  // The next write takes over cleanly and clears what the killed writers left.
  ASSERT_EQ(SetText(key, "After", "ok"), ERROR_SUCCESS);
  EXPECT_EQ(GetText(key, "After"), "ok");
  for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    EXPECT_EQ(entry.path().filename().string().find(".bad"), std::string::npos) << entry.path();
  }
  RegCloseKey(key);
}

TEST_F(RegistryProcessTest, ConcurrentWritersKeepEachOthersValues) {
  constexpr int ValuesPerWriter = 40;
  HKEY key = Create(HKEY_CURRENT_USER, "Software\\Shared");
  RegCloseKey(key);
  auto writeValues = [](char prefix) {
    return [prefix] {
      HKEY child = nullptr;
      if (RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Shared", &child) != ERROR_SUCCESS) _exit(1);
      for (int i = 0; i < ValuesPerWriter; ++i) {
        const std::string name = prefix + std::to_string(i);
        const DWORD value = static_cast<DWORD>(i);
        if (RegSetValueExA(child, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) !=
            ERROR_SUCCESS) {
          _exit(2);
        }
      }
      _exit(0);
    };
  };
  Writer first(writeValues('A'));
  Writer second(writeValues('B'));
  ASSERT_TRUE(first.Started() && second.Started());
  const int firstStatus = first.Wait();
  const int secondStatus = second.Wait();
  ASSERT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0);
  ASSERT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Shared", 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const char prefix : {'A', 'B'}) {
    for (int i = 0; i < ValuesPerWriter; ++i) {
      const std::string name = prefix + std::to_string(i);
      DWORD value = 0;
      DWORD size = sizeof value;
      DWORD type = REG_NONE;
      ASSERT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
                ERROR_SUCCESS)
          << name;
      EXPECT_EQ(type, REG_DWORD);
      EXPECT_EQ(value, static_cast<DWORD>(i));
    }
  }
  RegCloseKey(key);
}

}  // namespace
