#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/posix/system_clock.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const tsukio::SystemClock clock;
  const char* noColour = std::getenv("NO_COLOR");
  const tsukio::CalEnvironment env{
      clock, isatty(STDOUT_FILENO) == 1 && (noColour == nullptr || *noColour == '\0')};
  const int code = tsukio::RunCal(args, std::cout, std::cerr, env);
  std::cout.flush();
  return code;
}
