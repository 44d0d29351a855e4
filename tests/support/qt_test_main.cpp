// Toolkit tests use Qt for real, on the offscreen platform: no display needed.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/font_substitutions.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The user's own folders are never touched: the lock and any file a test writes go here.
  qputenv("XDG_RUNTIME_DIR", TSUKIO_TEST_FOLDER "/runtime");
  qputenv("XDG_CONFIG_HOME", TSUKIO_TEST_FOLDER "/config");
  QApplication app(argc, argv);
  tsukio::RegisterFontSubstitutions();
  return RUN_ALL_TESTS();
}
