#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace tsukio {

struct CalEnvironment {
  const Clock& clock;
  bool colourTerminal = false;  // stdout is a terminal and NO_COLOR is not set
};

// Runs one tsukio-cal command line (without the program name). Returns the exit code:
// 0 on success, 2 for bad input with a one-line message on `err`.
int RunCal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CalEnvironment& env);

}  // namespace tsukio
