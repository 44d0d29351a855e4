// tsukio-cal snapshot with the real main window drawn offscreen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <sstream>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/null_window_input.h"
#include "platform/qt/qt_image_files.h"
#include "platform/qt/qt_main_window.h"
#include "tests/support/fake_clock.h"

namespace tsukio {
namespace {

namespace fs = std::filesystem;

class Pictures final : public WindowPictures {
 public:
  Image ClientArea(const MainWindowModel& model) override { return window.Picture(model); }
  ImageFiles& Files() override { return files; }
  NullWindowInput input;
  QtMainWindow window{input};
  QtImageFiles files;
};

class SnapshotCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tsukio-snapshot-" + std::to_string(::getpid()));
    fs::remove_all(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  int Run(std::vector<std::string> args) {
    const testing::FakeClock clock({std::chrono::year{2011} / 5 / 10, 9, 0, 0});
    err.str("");
    return RunCal(args, out, err, CalEnvironment{clock, false, nullptr, &pictures});
  }
  QImage Load(const char* name) { return QImage(QString::fromStdString((dir / name).string())); }

  fs::path dir;
  Pictures pictures;
  std::ostringstream out, err;
};

// In May 2011, cell 16 (88, 56) is the 10th, today; the week column starts at (212, 32).
TEST_F(SnapshotCommand, TheThreeViewsOfTheWindow) {
  ASSERT_EQ(Run({"snapshot", "--out", dir.string(), "--weeks", "iso"}), 0) << err.str();
  EXPECT_EQ(out.str(), (dir / "calendar.png").string() + "\n" + (dir / "options.png").string() +
                           "\n" + (dir / "about.png").string() + "\n");
  const QImage calendar = Load("calendar.png");
  ASSERT_EQ(calendar.size(), QSize(250, 289));
  EXPECT_EQ(calendar.pixel(90, 58), 0xFF00FFFFu);   // today, aqua
  EXPECT_EQ(calendar.pixel(224, 60), 0xFFAFAFBFu);  // the week column
  for (const char* name : {"options.png", "about.png"}) {
    const QImage view = Load(name);
    EXPECT_EQ(view.size(), QSize(250, 289)) << name;
    EXPECT_NE(view.pixel(90, 58), calendar.pixel(90, 58)) << name;  // the calendar is hidden
  }

  // Another month: today is not on it, and without --weeks there is no week column.
  ASSERT_EQ(Run({"snapshot", "2011", "6", "--out", dir.string()}), 0) << err.str();
  const QImage june = Load("calendar.png");
  EXPECT_EQ(june.pixel(90, 58), 0xFFFFFFFFu);
  EXPECT_NE(june.pixel(224, 60), 0xFFAFAFBFu);
}

TEST_F(SnapshotCommand, BadArgumentsDrawNothing) {
  EXPECT_EQ(Run({"snapshot", "2011", "--out", dir.string()}), 2);
  EXPECT_EQ(Run({"snapshot", "10000", "1", "--out", dir.string()}), 2);
  EXPECT_FALSE(fs::exists(dir));
}

}  // namespace
}  // namespace tsukio
