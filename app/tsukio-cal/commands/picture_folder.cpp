#include "app/tsukio-cal/commands/picture_folder.h"

#include <system_error>

#include "app/tsukio-cal/arguments.h"

namespace tsukio::cal {

PictureFolder::PictureFolder(const std::string& dir, ImageFiles& files, std::ostream& out)
    : dir_(dir), files_(files), out_(out) {
  std::error_code error;
  std::filesystem::create_directories(dir_, error);
  if (error) throw OutputError("cannot create " + dir_.string() + ": " + error.message());
}

void PictureFolder::Write(std::string_view name, const Image& image) const {
  const std::string path = (dir_ / name).string();
  const std::string failure = files_.WritePng(path, image);
  if (!failure.empty()) throw OutputError("cannot write " + path + ": " + failure);
  out_ << path << '\n';
}

}  // namespace tsukio::cal
