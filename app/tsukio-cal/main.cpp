// tsukio-cal: the text commands, over the core alone. The commands that draw or ask a time
// server (icons, snapshot, sync) are handed to tsukio-cal-tools, which loads Qt and libcurl.
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/posix/system_clock.h"
#include "platform/posix/timer_day_wait.h"

namespace {

// Installed, the tools live in libexec; in the build tree, beside this program.
std::vector<std::filesystem::path> ToolsCandidates() {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  const std::filesystem::path dir = std::filesystem::path(std::string(self, n)).parent_path();
  return {dir / TSUKIO_TOOLS_FROM_BINDIR, dir / "tsukio-cal-tools"};
}

int RunTools(char** argv) {
  for (const std::filesystem::path& tools : ToolsCandidates()) {
    if (access(tools.c_str(), X_OK) != 0) continue;
    argv[0] = const_cast<char*>(tools.c_str());
    execv(tools.c_str(), argv);
    std::cerr << "tsukio-cal: cannot run " << tools.string() << ": " << std::strerror(errno)
              << '\n';
    return 1;
  }
  std::cerr << "tsukio-cal: tsukio-cal-tools is missing; it draws pictures and sets the clock\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (tsukio::NeedsOf(args) != tsukio::CommandNeeds::kClockOnly) return RunTools(argv);
  const tsukio::SystemClock clock;
  const char* noColour = std::getenv("NO_COLOR");
  tsukio::TimerDayWait dayWait(STDOUT_FILENO);
  const tsukio::CalEnvironment env{
      .clock = clock,
      .colourTerminal = isatty(STDOUT_FILENO) == 1 && (noColour == nullptr || *noColour == '\0'),
      .dayWait = &dayWait};
  const int code = tsukio::RunCal(args, std::cout, std::cerr, env);
  std::cout.flush();
  return code;
}
