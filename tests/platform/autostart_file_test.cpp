// The XDG login entry on disk: where it lives, what it starts, and when it counts as there.
#include "platform/posix/autostart_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "resources/resources.h"

namespace tsukio {
namespace {

namespace fs = std::filesystem;

class AutostartFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) / ("tsukio-autostart-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Line(const std::string& entry, const std::string& key) {
    const auto at = entry.find("\n" + key + "=");
    if (at == std::string::npos) return "<none>";
    return entry.substr(at + 1, entry.find('\n', at + 1) - at - 1);
  }
  fs::path dir;
};

TEST_F(AutostartFileTest, EnableWritesTheEntryAndDisableRemovesIt) {
  const fs::path path = dir / "config" / "autostart" / "tsukio.desktop";
  AutostartFile login(path.string(), "[Desktop Entry]\nExec=/usr/bin/tsukio\n");
  EXPECT_FALSE(login.Exists());
  ASSERT_TRUE(login.Enable());  // the folders are made from nothing
  EXPECT_TRUE(login.Exists());
  EXPECT_EQ(Slurp(path), "[Desktop Entry]\nExec=/usr/bin/tsukio\n");
  ASSERT_TRUE(login.Disable());
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(login.Disable());  // already gone is what was asked for
  EXPECT_TRUE(fs::is_empty(path.parent_path()));
}

TEST_F(AutostartFileTest, AnEntryTheDesktopTurnedOffIsNotThere) {
  const fs::path path = dir / "tsukio.desktop";
  const AutostartFile login(path.string(), "");
  const auto with = [&](const std::string& text) {
    std::ofstream(path) << text;
    return login.Exists();
  };
  EXPECT_TRUE(with("[Desktop Entry]\nExec=tsukio\n"));
  EXPECT_FALSE(with("[Desktop Entry]\nExec=tsukio\nHidden=true\n"));
  EXPECT_FALSE(with("[Desktop Entry]\r\nHidden = true\r\n"));
  EXPECT_FALSE(with("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n"));
  EXPECT_TRUE(with("[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\n"));
  EXPECT_TRUE(with("[Desktop Entry]\nExec=tsukio\n[Desktop Action x]\nHidden=true\n"));
  fs::remove(path);
  fs::create_directory(path);  // a folder by that name starts nothing
  EXPECT_FALSE(login.Exists());
}

TEST_F(AutostartFileTest, AFailedChangeReportsIt) {
  std::ofstream(dir / "autostart") << "a file where the folder should be";
  AutostartFile login((dir / "autostart" / "tsukio.desktop").string(), "[Desktop Entry]\n");
  EXPECT_FALSE(login.Enable());
  EXPECT_FALSE(login.Exists());
  EXPECT_FALSE(login.Disable());
}

// The menu's entry with Exec and TryExec naming this very executable. Paths a build folder
// may well have (spaces, quotes, a per cent sign) are escaped by each layer of the format in
// turn: the quoting of the argument, then the string.
TEST_F(AutostartFileTest, TheEntryStartsThisVeryExecutableWhateverItsPath) {
  const std::string menu(resources::DesktopEntry());
  EXPECT_EQ(Line(menu, "Exec"), "Exec=tsukio");
  const std::string entry = AutostartEntry(menu, "/usr/local/bin/tsukio");
  EXPECT_EQ(Line(entry, "Exec"), "Exec=/usr/local/bin/tsukio");
  EXPECT_EQ(Line(entry, "TryExec"), "TryExec=/usr/local/bin/tsukio");
  EXPECT_EQ(Line(entry, "Comment[ja]"), Line(menu, "Comment[ja]"));
  EXPECT_EQ(Line(AutostartEntry(menu, ""), "Exec"), "Exec=tsukio");

  const auto exec = [&](const std::string& path) {
    return Line(AutostartEntry(menu, path), "Exec");
  };
  EXPECT_EQ(exec("/home/u/my build/tsukio"), R"(Exec="/home/u/my build/tsukio")");
  EXPECT_EQ(exec("/home/u/100%/tsukio"), "Exec=/home/u/100%%/tsukio");
  EXPECT_EQ(exec(R"(/home/u/a"b$c\d/tsukio)"), R"(Exec="/home/u/a\\"b\\$c\\\\d/tsukio")");
  EXPECT_EQ(Line(AutostartEntry(menu, R"(/home/u/c\d/tsukio)"), "TryExec"),
            R"(TryExec=/home/u/c\\d/tsukio)");

  const fs::path path = dir / "tsukio.desktop";
  AutostartFile login(path.string(),
                      AutostartEntry(menu, R"(/home/u/my "100%" build/$HOME\tsukio)"));
  ASSERT_TRUE(login.Enable());
  const std::string validate = "desktop-file-validate '" + path.string() + "'";
  EXPECT_EQ(std::system(validate.c_str()), 0) << Slurp(path);
}

}  // namespace
}  // namespace tsukio
