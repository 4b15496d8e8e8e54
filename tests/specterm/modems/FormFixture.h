#pragma once

// Helpers of the main-window tests: a private registry folder per test, the
// window opened and closed as the program does it, and data sets shown as
// the capture cycle shows them.

#include "RegistryFolder.h"
#include "TestBlocks.h"
#include "forms/Dialogs.h"
#include "forms/EntryBox.h"
#include "window/frmMain.h"

#include <gtest/gtest.h>

#include <QAction>
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

  // Shows the data set of a block as the capture cycle shows one: parsed,
  // then the update.
  static void ShowBlock(frmMain& f, const std::string& block) {
    f.Spectrum().ParseBlock(block);
    f.cmdUpdate_Click();
  }
  // The carriers of OpenWithCarriers on the current row: the higher one
  // (about 112 dB) and the lower one (about 102 dB); every other point is
  // below 50 dB.
  static constexpr int kHighPoint = 600;
  static constexpr int kLowPoint = 1500;
  // Opens the window and shows a data set with the two carriers, transformed
  // without the window so that each stays in its own point, in the fitted
  // view.
  frmMain& OpenWithCarriers() {
    frmMain& f = Open();
    f.mnuOptionsWindow->trigger();
    ShowBlock(f, blocks::CarrierBlock({{kHighPoint, 100}, {kLowPoint, 30}}));
    f.tbMain_ButtonClick("ZoomFitView");
    return f;
  }

  RegistryFolder registry;
  std::unique_ptr<frmMain> form;
};

}  // namespace specterm::testing
