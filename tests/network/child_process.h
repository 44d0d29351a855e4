#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tsukio::testing {

// A program the test starts, with its standard output on a pipe. It is ended by its own
// process id when the object goes, if it has not ended by itself.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv,
                        const std::vector<std::string>& extraEnvironment = {}) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
    for (const std::string& e : extraEnvironment) environment.push_back(e);
    std::vector<char*> env;
    for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);

    const int spawned = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    out_ = pipeFds[0];
    if (spawned != 0) {
      close(out_);
      throw std::runtime_error("cannot start " + argv[0]);
    }
  }
  ~ChildProcess() {
    Stop();
    close(out_);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of output, without its newline; nothing if none comes within `wait`.
  std::optional<std::string> ReadLine(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
      if (const auto newline = buffer_.find('\n'); newline != std::string::npos) {
        std::string line = buffer_.substr(0, newline);
        buffer_.erase(0, newline + 1);
        return line;
      }
      if (!Fill(deadline)) return std::nullopt;
    }
  }

  // Everything it prints until it ends, and its exit status.
  std::pair<std::string, int> Finish(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (Fill(deadline)) {
    }
    int status = -1;
    if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) pid_ = -1;
    return {std::exchange(buffer_, {}), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  pid_t pid() const { return pid_; }

 private:
  // Reads what is there; false at the end of output or when the deadline passes.
  bool Fill(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd readable{out_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) return false;
    char chunk[4096];
    const ssize_t size = read(out_, chunk, sizeof chunk);
    if (size <= 0) return false;
    buffer_.append(chunk, static_cast<std::size_t>(size));
    return true;
  }

  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffer_;
};

}  // namespace tsukio::testing
