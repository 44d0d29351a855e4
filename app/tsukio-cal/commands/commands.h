#pragma once

// tsukio-cal's commands, one file each. A command reads its own arguments (arguments.h) and
// writes its output; RunCal finds it in the command table by name.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/tsukio-cal/cal_cli.h"

namespace tsukio::cal {

// `args` is the whole command line, the command's name first. Returns the exit code; bad
// input and output that cannot be made are thrown (UsageError, OutputError).
using CommandFunction = int(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err, const CalEnvironment& env);

struct CalCommand {
  std::string_view name;
  CommandFunction* run;
  CommandNeeds needs;
};

CommandFunction TodayCommand;
CommandFunction MonthCommand;
CommandFunction DaysCommand;
CommandFunction AlmanacCommand;
CommandFunction KoyomiCommand;
CommandFunction HolidaysCommand;
CommandFunction IconsCommand;
CommandFunction SnapshotCommand;
CommandFunction SyncCommand;
CommandFunction IcsCommand;
CommandFunction BarCommand;

}  // namespace tsukio::cal
