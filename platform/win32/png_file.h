#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/image.h"

namespace tsukio {

// A picture as PNG bytes: 8-bit RGBA, not interlaced, its pixel data in stored (uncompressed)
// deflate blocks. The pictures written are small, so plain code beats a compression library.
std::vector<std::uint8_t> EncodePng(const Image& image);

// Writes pictures as PNG files, paths in UTF-8.
class Win32ImageFiles final : public ImageFiles {
 public:
  std::string WritePng(const std::string& path, const Image& image) override;
};

}  // namespace tsukio
