// The single-instance guard: exactly one copy, whatever state the runtime folder is in.
#include "platform/posix/single_instance.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tsukio {
namespace {

namespace fs = std::filesystem;

// A lock name of this test run's own, so copies of the real program elsewhere are not in it.
const std::string kLockName = "tsukio-test-" + std::to_string(getpid());

// Processes started at the same moment, one per entry of `runtimes`, each taking the guard
// with XDG_RUNTIME_DIR set to its entry (unset when empty); they hold it while this lives.
class Copies {
 public:
  explicit Copies(const std::vector<std::string>& runtimes) {
    int start[2];
    int answers[2];
    if (pipe(start) != 0 || pipe(answers) != 0 || pipe(release_) != 0) return;
    for (const std::string& runtime : runtimes) {
      const pid_t child = fork();
      if (child == 0) {
        close(start[1]);
        close(answers[0]);
        close(release_[1]);
        char byte;
        (void)!read(start[0], &byte, 1);  // everyone goes when the parent closes it
        if (runtime.empty()) {
          unsetenv("XDG_RUNTIME_DIR");
        } else {
          setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        }
        const SingleInstance instance(kLockName);
        const char answer = instance.IsFirst() ? '1' : '0';
        (void)!write(answers[1], &answer, 1);
        (void)!read(release_[0], &byte, 1);
        _exit(0);
      }
      children_.push_back(child);
    }
    close(start[0]);
    close(answers[1]);
    close(release_[0]);
    close(start[1]);
    for (std::size_t i = 0; i < runtimes.size(); ++i) {
      char answer = 0;
      if (read(answers[0], &answer, 1) != 1) break;
      running_ += answer == '1';
    }
    close(answers[0]);
  }
  ~Copies() {
    close(release_[1]);
    for (const pid_t child : children_) waitpid(child, nullptr, 0);
  }
  Copies(const Copies&) = delete;
  Copies& operator=(const Copies&) = delete;

  int Running() const { return running_; }

 private:
  int release_[2] = {-1, -1};
  std::vector<pid_t> children_;
  int running_ = 0;
};

int CopiesLetRun(int copies, const std::string& runtime) {
  return Copies(std::vector<std::string>(copies, runtime)).Running();
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::path(::testing::TempDir()) / ("tsukio-instance-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "runtime");
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old != nullptr) saved = old;
  }
  void TearDown() override {
    fs::remove_all(dir);
    if (saved.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    }
  }
  fs::path dir;
  std::string saved;
};

TEST_F(SingleInstanceTest, TwentySimultaneousStartsLeaveOneCopy) {
  EXPECT_EQ(CopiesLetRun(20, (dir / "runtime").string()), 1);
  EXPECT_EQ(CopiesLetRun(20, (dir / "missing").string()), 1);
  EXPECT_EQ(CopiesLetRun(20, ""), 1);
  std::ofstream(dir / "a-file") << "not a folder";
  EXPECT_EQ(CopiesLetRun(20, (dir / "a-file").string()), 1);
  std::vector<std::string> mixed;
  for (int i = 0; i < 10; ++i) {
    mixed.push_back((dir / "runtime").string());
    mixed.push_back((dir / "missing").string());
  }
  EXPECT_EQ(Copies(mixed).Running(), 1);
}

// The session manager makes the runtime folder when it gets to it: copies started before
// and after it appears are still one.
TEST_F(SingleInstanceTest, ARuntimeFolderAppearingBetweenStartsLetsNoSecondCopyRun) {
  const std::string late = (dir / "late").string();
  const Copies before(std::vector<std::string>(10, late));
  fs::create_directories(late);
  const Copies after(std::vector<std::string>(10, late));
  EXPECT_EQ(before.Running() + after.Running(), 1);
}

TEST_F(SingleInstanceTest, ACopyWithoutARuntimeFolderSeesOneWithIt) {
  setenv("XDG_RUNTIME_DIR", (dir / "runtime").c_str(), 1);
  {
    const SingleInstance running(kLockName);
    ASSERT_TRUE(running.IsFirst());
    EXPECT_EQ(CopiesLetRun(3, (dir / "missing").string()), 0);
    EXPECT_EQ(CopiesLetRun(3, (dir / "runtime").string()), 0);
  }
  // Gone with its holder: the next copy runs.
  EXPECT_EQ(CopiesLetRun(3, (dir / "missing").string()), 1);
}

// Any user may bind any abstract name: another user holding ours, listening or not, keeps
// no copy of ours from running, and the runtime folder's lock still lets only one run.
TEST_F(SingleInstanceTest, AnotherUserHoldingTheNameKeepsNoCopyFromRunning) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  for (const bool listening : {true, false}) {
    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t stranger = fork();
    if (stranger == 0) {
      close(ready[0]);
      close(release[1]);
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
      const std::string name = kLockName + "-0";  // root's name
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::memcpy(address.sun_path + 1, name.data(), name.size());
      const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
      if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) _exit(1);
      if (listening) listen(fd, 4);
      (void)!write(ready[1], "1", 1);
      char byte;
      (void)!read(release[0], &byte, 1);
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1) << "the stranger could not take the name";
    EXPECT_EQ(CopiesLetRun(5, (dir / "runtime").string()), 1) << listening;
    close(release[1]);
    close(ready[0]);
    waitpid(stranger, nullptr, 0);
  }
}

}  // namespace
}  // namespace tsukio
