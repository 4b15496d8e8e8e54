#pragma once

// A private registry folder for the lifetime of a test.

#include "TestSupport.h"

#include <cstdlib>
#include <string>

namespace specterm::testing {

// Points the registry at a fresh folder for the lifetime of the object.
class RegistryFolder {
 public:
  RegistryFolder() {
    const char* old = std::getenv("HALDEN_REGISTRY_DIR");
    if (old != nullptr) old_ = old;
    setenv("HALDEN_REGISTRY_DIR", dir_.Path().c_str(), 1);
  }
  ~RegistryFolder() {
    if (old_.empty())
      unsetenv("HALDEN_REGISTRY_DIR");
    else
      setenv("HALDEN_REGISTRY_DIR", old_.c_str(), 1);
  }
  RegistryFolder(const RegistryFolder&) = delete;
  RegistryFolder& operator=(const RegistryFolder&) = delete;
  const std::string& Path() const { return dir_.Path(); }
  std::string HiveText() const { return testsupport::ReadFile(dir_.File("HKEY_CURRENT_USER.reg")); }

 private:
  testsupport::TempDir dir_;
  std::string old_;
};

}  // namespace specterm::testing
