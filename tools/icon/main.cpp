// tsukio-icon: writes the application icon into a hicolor icon theme folder at the given
// sizes, drawn by the same code as the about panel's. A build-time tool.
#include <QDir>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/app_icon.h"
#include "platform/qt/qt_image_files.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tsukio-icon THEMEDIR SIZE...\n");
    return 2;
  }
  tsukio::EnsureOffscreenGuiApplication();
  const QString theme = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < 16 || size > 1024) {
      std::fprintf(stderr, "tsukio-icon: bad size \"%s\"\n", argv[i]);
      return 2;
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
    const QString path = folder + QStringLiteral("/tsukio.png");
    if (!QDir().mkpath(folder) || !tsukio::AppIcon(size).save(path, "png")) {
      std::fprintf(stderr, "tsukio-icon: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
