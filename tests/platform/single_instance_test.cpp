// The single-instance guard: exactly one copy, whatever state the runtime folder is in.
#include "platform/posix/single_instance.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tsukio {
namespace {

namespace fs = std::filesystem;

// A lock name of this test run's own, so copies of the real program elsewhere are not in it.
const std::string kLockName = "tsukio-test-" + std::to_string(getpid());

// Starts `copies` processes at the same moment, each taking the guard with XDG_RUNTIME_DIR
// set to `runtime` (unset when empty) and holding it until all have answered; returns how
// many were let run.
int CopiesLetRun(int copies, const std::string& runtime) {
  int start[2];
  int answers[2];
  int release[2];
  if (pipe(start) != 0 || pipe(answers) != 0 || pipe(release) != 0) return -1;
  std::vector<pid_t> children;
  for (int i = 0; i < copies; ++i) {
    const pid_t child = fork();
    if (child == 0) {
      close(start[1]);
      close(answers[0]);
      close(release[1]);
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
      (void)!read(release[0], &byte, 1);
      _exit(0);
    }
    children.push_back(child);
  }
  close(start[0]);
  close(answers[1]);
  close(release[0]);
  close(start[1]);
  int first = 0;
  for (int i = 0; i < copies; ++i) {
    char answer = 0;
    if (read(answers[0], &answer, 1) != 1) break;
    first += answer == '1';
  }
  close(release[1]);
  close(answers[0]);
  for (const pid_t child : children) waitpid(child, nullptr, 0);
  return first;
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

}  // namespace
}  // namespace tsukio
