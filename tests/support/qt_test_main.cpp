// Toolkit tests use Qt for real, on the offscreen platform: no display needed.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/qt_text_painter.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  tsukio::RegisterFontSubstitutions();
  return RUN_ALL_TESTS();
}
