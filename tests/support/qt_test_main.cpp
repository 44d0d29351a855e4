// Toolkit tests draw with Qt for real, on the offscreen platform.
#include <gtest/gtest.h>

#include "platform/qt/qt_image_files.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  tsukio::EnsureOffscreenGuiApplication();
  return RUN_ALL_TESTS();
}
