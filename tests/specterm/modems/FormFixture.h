#pragma once

// Helpers of the main-window tests: a private registry folder per test and
// the window opened and closed as the program does it.

#include "RegistryFolder.h"
#include "forms/Dialogs.h"
#include "window/frmMain.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <ostream>
#include <string>

// Texts in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE

namespace specterm::testing {

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
