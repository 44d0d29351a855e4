#pragma once

#include "platform/image.h"

namespace tsukio {

class QtImageFiles final : public ImageFiles {
 public:
  std::string WritePng(const std::string& path, const Image& image) override;
};

// Starts a QGuiApplication on the offscreen platform if none runs, for programs that draw
// pictures but never show a window.
void EnsureOffscreenGuiApplication();

}  // namespace tsukio
