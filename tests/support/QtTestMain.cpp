// main() of the test binaries that need a Qt application: the offscreen
// platform (unless a display was asked for), a private registry folder, and
// the dialog seam installed so no test ever waits on a modal window.

#include "TestSupport.h"
#include "forms/Dialogs.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testsupport::TempDir registryDir;
  if (std::getenv("HALDEN_REGISTRY_DIR") == nullptr) setenv("HALDEN_REGISTRY_DIR", registryDir.Path().c_str(), 1);
  QApplication app(argc, argv);
  forms::DialogSeam::Install();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
