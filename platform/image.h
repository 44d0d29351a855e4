#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tsukio {

// A picture of any size with straight alpha, 0xAARRGGBB per pixel, row by row.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;

  Image() = default;
  Image(int w, int h, std::uint32_t fill = 0)
      : width(w),
        height(h),
        argb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}
  std::uint32_t& at(int x, int y) { return argb[static_cast<std::size_t>(y * width + x)]; }
  std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y * width + x)]; }

  // The one comparison of pictures: hosts send a picture again only when it differs.
  friend bool operator==(const Image&, const Image&) = default;
};

// One picture drawn at several sizes, smallest first; a host shows the size it needs.
using PictureSet = std::vector<Image>;

// Writes pictures to files.
class ImageFiles {
 public:
  virtual ~ImageFiles() = default;
  // Returns an empty text on success, else why the file could not be written.
  virtual std::string WritePng(const std::string& path, const Image& image) = 0;
};

}  // namespace tsukio
