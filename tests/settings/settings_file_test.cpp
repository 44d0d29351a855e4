// The settings file on disk: where it lives, and a replacement that never leaves a mixture.
#include "platform/posix/settings_file.h"

#include "tests/support/headless_desktop.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

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
  EXPECT_EQ(file.Read().status, StoredSettings::Status::kAbsent);
  file.MakeFolders();
  EXPECT_TRUE(fs::is_directory(dir / "config" / "Quorv" / "Tsukio"));
  ASSERT_TRUE(file.Write("[Pageleaf]\nMonth=1\n").ok);
  EXPECT_EQ(file.Read().text, "[Pageleaf]\nMonth=1\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "config" / "Quorv" / "Tsukio"),
                          fs::directory_iterator{}),
            1);  // no temporary file left behind
}

// Runs `check` in a child process as an ordinary user, since root reads any file whatever
// its mode; its exit code comes back.
int AsOrdinaryUser(const std::function<int()>& check) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    _exit(check());
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SettingsFileTest, AFileThatIsThereButCannotBeReadIsNeverTakenForAbsent) {
  using Status = StoredSettings::Status;
  EXPECT_EQ(ReadWholeFile((dir / "none.ini").string()).status, Status::kAbsent);

  std::ofstream(dir / "big.ini") << std::string(17 * 1024 * 1024, 'x');
  EXPECT_EQ(ReadWholeFile((dir / "big.ini").string()).text.size(), 17u * 1024 * 1024);
  std::ofstream(dir / "small.ini") << std::string(101, 'x');
  const StoredSettings tooBig = ReadWholeFile((dir / "small.ini").string(), 100);
  EXPECT_EQ(tooBig.status, Status::kUnreadable);
  EXPECT_EQ(tooBig.reason, "ファイルが大きすぎます");

  const StoredSettings folder = ReadWholeFile(dir.string());
  EXPECT_EQ(folder.status, Status::kUnreadable);
  EXPECT_EQ(folder.reason, "フォルダーです");
  EXPECT_EQ(ReplaceFileAtomically(dir.string(), "x").reason, "フォルダーです");

  ASSERT_EQ(mkfifo((dir / "pipe.ini").c_str(), 0600), 0);  // must not wait for a writer
  EXPECT_EQ(ReadWholeFile((dir / "pipe.ini").string()).reason, "通常のファイルではありません");

  const fs::path locked = dir / "locked.ini";
  std::ofstream(locked) << "[Pageleaf]\nMonth=1\n";
  fs::permissions(locked, fs::perms::none);
  fs::permissions(dir, fs::perms::all);
  EXPECT_EQ(AsOrdinaryUser([&] {
              const StoredSettings s = ReadWholeFile(locked.string());
              return s.status == Status::kUnreadable && s.reason == "アクセスが拒否されました"
                         ? 0
                         : 1;
            }),
            0);
}

TEST_F(SettingsFileTest, ASaveKeepsTheLinkTheModeAndTheGroup) {
  fs::create_directories(dir / "dotfiles");
  fs::create_directories(dir / "config");
  const fs::path target = dir / "dotfiles" / "tsukio.ini";
  const fs::path link = dir / "config" / "tsukio.ini";
  std::ofstream(target) << "old";
  fs::permissions(target, fs::perms(0644));
  fs::create_symlink("../dotfiles/tsukio.ini", link);
  ASSERT_EQ(chown(target.c_str(), geteuid(), 100), 0);  // a group of the user's choosing

  ASSERT_TRUE(ReplaceFileAtomically(link.string(), "new").ok);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Slurp(target), "new");
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  EXPECT_EQ(info.st_gid, 100u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "dotfiles"), fs::directory_iterator{}), 1);

  // A link to a file not made yet: the file is made where the link points, private.
  fs::create_symlink(dir / "dotfiles" / "later.ini", dir / "config" / "later.ini");
  ASSERT_TRUE(ReplaceFileAtomically((dir / "config" / "later.ini").string(), "x").ok);
  EXPECT_TRUE(fs::is_symlink(dir / "config" / "later.ini"));
  ASSERT_EQ(stat((dir / "dotfiles" / "later.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);

  fs::create_symlink("loop", dir / "config" / "loop");
  EXPECT_EQ(ReplaceFileAtomically((dir / "config" / "loop").string(), "x").reason,
            "シンボリックリンクが循環しています");
}

TEST_F(SettingsFileTest, TheNextSaveRemovesWhatAKilledSaveLeftBehind) {
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const fs::path path = dir / "tsukio.ini";
  const fs::path abandoned = dir / ("tsukio.ini.tmp-" + std::to_string(gone) + "-123");
  const fs::path inProgress = dir / ("tsukio.ini.tmp-" + std::to_string(getppid()) + "-7");
  const fs::path unrelated = dir / ("other.ini.tmp-" + std::to_string(gone) + "-1");
  for (const fs::path& p : {abandoned, inProgress, unrelated}) std::ofstream(p) << "partial";

  ASSERT_TRUE(ReplaceFileAtomically(path.string(), "new").ok);
  EXPECT_FALSE(fs::exists(abandoned));
  EXPECT_TRUE(fs::exists(inProgress));  // its process still runs and may yet rename it
  EXPECT_TRUE(fs::exists(unrelated));
}

// The whole program on a real file too large to be settings (sparse, so the test stays
// small): it runs on the defaults, and 決定 leaves every byte where it was.
TEST_F(SettingsFileTest, TheProgramNeverSavesOverAFileItCouldNotRead) {
  const fs::path path = dir / "tsukio.ini";
  std::ofstream(path) << "[Pageleaf]\nMonth=1\n; notes worth keeping\n";
  fs::resize_file(path, kLargestSettingsFile + 1);
  SettingsFile file(path.string());
  testing::HeadlessDesktop headless(testing::At(2011, 5, 10, 13, 5));
  Desktop desktop{headless,         headless.tray,   headless.minuteTimer(),
                  headless.autoUpdateTimer(), headless.painter, headless.window,
                  file,             headless.autostart};
  TrayCalendar calendar(desktop);
  calendar.Start();
  ASSERT_EQ(headless.window.errors.size(), 1u);
  EXPECT_NE(headless.window.errors[0].find("ファイルが大きすぎます"), std::string::npos);
  EXPECT_EQ(headless.tray.Ids(), std::vector<int>{110});

  calendar.ShowOptions();
  calendar.SetOptionBox(OptionBox::kWeekday, true);
  calendar.AcceptOptions();
  EXPECT_EQ(headless.window.errors.size(), 2u);
  EXPECT_TRUE(calendar.Panel().shown);
  EXPECT_EQ(fs::file_size(path), kLargestSettingsFile + 1);
  std::string start(41, '\0');
  std::ifstream(path, std::ios::binary).read(start.data(), 41);
  EXPECT_EQ(start, "[Pageleaf]\nMonth=1\n; notes worth keeping\n");
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
int Fchmod(int fd, mode_t mode) {
  return Fail() ? (errno = EPERM, -1) : ::fchmod(fd, mode);
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
  const FileCalls failing{Open, Write, Fchmod, Fsync, Close, Rename, ::unlink};
  const fs::path path = dir / "tsukio.ini";
  const std::string before = "[Pageleaf]\nMonth=0\n; the user's own note\n";
  const std::string after = "[Pageleaf]\nMonth=1\n; the user's own note\n";
  int failures = 0;
  std::set<std::string> reasons;
  for (failAt = 0;; ++failAt) {
    std::ofstream(path) << before;
    callIndex = 0;
    const StorageWrite result = ReplaceFileAtomically(path.string(), after, failing);
    const bool saved = result.ok;
    if (!saved) reasons.insert(result.reason);
    const std::string now = Slurp(path);
    EXPECT_EQ(now, saved ? after : before) << "failing call " << failAt;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
    if (saved) break;
    ++failures;
  }
  EXPECT_GE(failures, 6);  // open, the writes, fchmod, fsync, close and rename each failed once
  EXPECT_EQ(reasons, (std::set<std::string>{"アクセスが拒否されました", "ディスクがいっぱいです",
                                            "入出力エラーが起きました",
                                            "システムエラー 18 (Invalid cross-device link)"}));
}

}  // namespace
}  // namespace tsukio
