#pragma once

// Helpers of the main-window tests: a private registry folder per test and
// the window opened and closed as the program does it.

#include "TestSupport.h"
#include "forms/Dialogs.h"
#include "modems/frmMain.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

// Texts in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

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

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::DialogSeam::Uninstall();
    forms::DialogSeam::Install();
  }
  void TearDown() override {
    if (form) form->close();
    form.reset();
  }
  // Creates and loads the window, as the program starts.
  frmMain& Open() {
    form = std::make_unique<frmMain>();
    form->Form_Load();
    return *form;
  }
  // Closes it, as the user quits; the settings are written.
  void Close() {
    form->close();
    form.reset();
  }

  RegistryFolder registry;
  std::unique_ptr<frmMain> form;
};

}  // namespace specterm::testing
