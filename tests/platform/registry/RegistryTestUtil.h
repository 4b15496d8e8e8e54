#pragma once

// A temporary hive folder named by HALDEN_REGISTRY_DIR for one test, and
// small helpers over the registry calls.

#include "TestSupport.h"
#include "registry/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace registrytest {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

class RegistryFixture : public ::testing::Test {
 protected:
  std::string Folder() const { return dir_.File("hives"); }
  std::string UserHive() const { return Folder() + "/HKEY_CURRENT_USER.reg"; }
  std::string MachineHive() const { return Folder() + "/HKEY_LOCAL_MACHINE.reg"; }

  static HKEY Create(HKEY root, const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyA(root, path, &key), ERROR_SUCCESS) << path;
    return key;
  }
  static LSTATUS SetText(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  }
  static LSTATUS SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  // The text of a REG_SZ value, or nothing when it is missing or not a text.
  static std::optional<std::string> GetText(HKEY key, const char* name) {
    char buffer[1024];
    DWORD size = sizeof buffer;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0 || buffer[size - 1] != '\0') {
      return std::nullopt;
    }
    return std::string(buffer, size - 1);
  }

  testsupport::TempDir dir_;
  ScopedEnv env_{"HALDEN_REGISTRY_DIR", dir_.File("hives")};
};

}  // namespace registrytest
