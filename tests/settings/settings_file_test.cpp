// The settings file on disk: where it lives, and a replacement that never leaves a mixture.
#include "platform/posix/settings_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tsukio {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) / ("tsukio-settings-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir;
};

TEST_F(SettingsFileTest, LivesUnderXdgConfigHomeNamedAfterTheProgram) {
  setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
  EXPECT_EQ(SettingsFilePath("tsukio"), "/home/u/cfg/Quorv/Tsukio/tsukio.ini");
  EXPECT_EQ(SettingsFilePath("tray.bin"), "/home/u/cfg/Quorv/Tsukio/tray.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored, as XDG asks
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(SettingsFilePath("tsukio"), "/home/u/.config/Quorv/Tsukio/tsukio.ini");
}

TEST_F(SettingsFileTest, MakesTheFoldersAndReadsWhatItWrote) {
  SettingsFile file((dir / "config" / "Quorv" / "Tsukio" / "tsukio.ini").string());
  EXPECT_FALSE(file.Read());
  file.MakeFolders();
  EXPECT_TRUE(fs::is_directory(dir / "config" / "Quorv" / "Tsukio"));
  ASSERT_TRUE(file.Write("[Pageleaf]\nMonth=1\n"));
  EXPECT_EQ(file.Read().value(), "[Pageleaf]\nMonth=1\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "config" / "Quorv" / "Tsukio"),
                          fs::directory_iterator{}),
            1);  // no temporary file left behind
}

TEST_F(SettingsFileTest, AnUnreadableOrHugeFileReadsAsNone) {
  SettingsFile file((dir / "tsukio.ini").string());
  std::ofstream(dir / "tsukio.ini") << std::string(2 * 1024 * 1024, 'x');
  EXPECT_TRUE(file.Read());  // a 2 MB file is still read
  std::ofstream(dir / "tsukio.ini") << std::string(17 * 1024 * 1024, 'x');
  EXPECT_FALSE(file.Read());
  SettingsFile folder(dir.string());  // a folder where the file should be
  EXPECT_FALSE(folder.Read());
  EXPECT_FALSE(folder.Write("x"));
}

// Each system call of the replacement fails in turn: the old file stays whole every time,
// and no temporary file is left behind.
int failAt = -1;
int callIndex = 0;
bool Fail() {
  return callIndex++ == failAt;
}
int Open(const char* p, int f, mode_t m) {
  return Fail() ? (errno = EACCES, -1) : ::open(p, f, m);
}
ssize_t Write(int fd, const void* d, size_t n) {
  if (Fail()) return errno = ENOSPC, -1;
  return ::write(fd, d, n < 4 ? n : 4);  // short writes, so the loop is exercised
}
int Fsync(int fd) {
  return Fail() ? (errno = EIO, -1) : ::fsync(fd);
}
int Close(int fd) {
  const int r = ::close(fd);
  return Fail() ? (errno = EIO, -1) : r;
}
int Rename(const char* a, const char* b) {
  return Fail() ? (errno = EXDEV, -1) : ::rename(a, b);
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFileWhole) {
  const FileCalls failing{Open, Write, Fsync, Close, Rename, ::unlink};
  const fs::path path = dir / "tsukio.ini";
  const std::string before = "[Pageleaf]\nMonth=0\n; the user's own note\n";
  const std::string after = "[Pageleaf]\nMonth=1\n; the user's own note\n";
  int failures = 0;
  for (failAt = 0;; ++failAt) {
    std::ofstream(path) << before;
    callIndex = 0;
    const bool saved = ReplaceFileAtomically(path.string(), after, failing);
    const std::string now = Slurp(path);
    EXPECT_EQ(now, saved ? after : before) << "failing call " << failAt;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
    if (saved) break;
    ++failures;
  }
  EXPECT_GE(failures, 5);  // open, the writes, fsync, close and rename each failed once
}

}  // namespace
}  // namespace tsukio
