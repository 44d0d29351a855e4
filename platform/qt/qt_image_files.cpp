#include "platform/qt/qt_image_files.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <memory>

namespace tsukio {

std::string QtImageFiles::WritePng(const std::string& path, const Image& image) {
  const QImage view(reinterpret_cast<const uchar*>(image.argb.data()), image.width, image.height,
                    image.width * 4, QImage::Format_ARGB32);
  QImageWriter writer(QString::fromStdString(path), "png");
  if (writer.write(view)) return {};
  return writer.errorString().toStdString();
}

void EnsureOffscreenGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "tsukio";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static const std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace tsukio
