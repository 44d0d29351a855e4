// tsukio-cal icons with the real painter and PNG writer.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/freetype/freetype_text_painter.h"
#include "platform/qt/qt_image_files.h"
#include "tests/support/fake_clock.h"

namespace tsukio {
namespace {

namespace fs = std::filesystem;

class Tools final : public IconTools {
 public:
  TextPainter& Painter() override { return painter; }
  ImageFiles& Files() override { return files; }
  FreeTypeTextPainter painter;
  QtImageFiles files;
};

class IconsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tsukio-icons-" + std::to_string(::getpid()));
    fs::remove_all(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  int Run(std::vector<std::string> args) {
    const testing::FakeClock clock({std::chrono::year{2026} / 5 / 4, 13, 5, 0});
    out.str("");
    err.str("");
    return RunCal(args, out, err, CalEnvironment{clock, false, &tools});
  }

  fs::path dir;
  Tools tools;
  std::ostringstream out, err;
};

TEST_F(IconsCommand, WritesEveryIconAndTheSheet) {
  ASSERT_EQ(Run({"icons", "--out", (dir / "new" / "folder").string()}), 0) << err.str();
  const fs::path where = dir / "new" / "folder";
  for (const char* name :
       {"month", "day", "weekday", "moon", "hour", "minute", "week", "ok", "sv", "pc"}) {
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString((where / (std::string(name) + ".png")).string())))
        << name;
    EXPECT_EQ(image.size(), QSize(16, 16)) << name;
    EXPECT_TRUE(image.hasAlphaChannel()) << name;
  }
  // 4 May 2026, みどりの日: the date icons are magenta; their right column is transparent.
  QImage day(QString::fromStdString((where / "day.png").string()));
  EXPECT_EQ(qAlpha(day.pixel(15, 8)), 0);
  bool magenta = false;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) magenta = magenta || day.pixel(x, y) == 0xFFFF00FFu;
  }
  EXPECT_TRUE(magenta);
  QImage sheet(QString::fromStdString((where / "sheet.png").string()));
  EXPECT_EQ(sheet.size(), QSize(16 + 6 * (128 + 16), 16 + 2 * (128 + 16)));
}

TEST_F(IconsCommand, BadArgumentsAndUnwritableFolders) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"icons"},
           {"icons", "--out"},
           {"icons", "--out", dir.string(), "--dpi", "100"},
           {"icons", "--out", dir.string(), "--time", "24:00"},
           {"icons", "--out", dir.string(), "--time", "7"},
           {"icons", "2026-02-30", "--out", dir.string()},
           {"icons", "2026-01-01", "2026-01-02", "--out", dir.string()}}) {
    EXPECT_EQ(Run(args), 2) << args.back();
    const std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  }
  EXPECT_FALSE(fs::exists(dir));
  fs::create_directories(dir);
  std::ofstream(dir / "file") << "x";
  EXPECT_EQ(Run({"icons", "--out", (dir / "file").string()}), 1);
  EXPECT_NE(err.str().find("cannot"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace tsukio
