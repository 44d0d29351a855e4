#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/image.h"

namespace tsukio::cal {

// The folder a drawing command writes its PNG files into, made if needed; each path written
// is printed. Failing to make or write it is an OutputError.
class PictureFolder {
 public:
  PictureFolder(const std::string& dir, ImageFiles& files, std::ostream& out);
  void Write(std::string_view name, const Image& image) const;

 private:
  std::filesystem::path dir_;
  ImageFiles& files_;
  std::ostream& out_;
};

}  // namespace tsukio::cal
