#include "app/tsukio-cal/cal_cli.h"

#include <array>
#include <string_view>

#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"

namespace tsukio {

namespace {

constexpr std::string_view kUsage =
    "Usage: tsukio-cal COMMAND [ARGS]\n"
    "\n"
    "Japanese calendar knowledge from the terminal: holidays, day colours, rokuyō and\n"
    "solar terms, 旧暦, 干支, 雑節 and the moon, week numbers. Dates are YYYY-MM-DD,\n"
    "years 1 to 9999.\n"
    "\n"
    "Commands:\n"
    "  today [--weeks iso|usa] [--date DATE]\n"
    "      The day icon's tooltip for today: date, holiday, week number, almanac.\n"
    "  month [YEAR MONTH] [--weeks iso|usa] [--no-color] [--date DATE]\n"
    "      A month grid, Sunday first, today marked [ ], with the month's holidays below.\n"
    "      --weeks adds a week-number column. Colour only on a terminal.\n"
    "  days FROM [TO]\n"
    "      One tab-separated line per day: date, weekday, holiday, colour (0x00BBGGRR),\n"
    "      ISO week, USA week, almanac text.\n"
    "  almanac FROM [TO]\n"
    "      One tab-separated line per day: date, rokuyō, the solar term that begins that\n"
    "      day (the equinoxes included). Both are empty outside 1900 to 2100.\n"
    "  koyomi FROM [TO]\n"
    "      What a paper daily calendar prints, one tab-separated line per day\n"
    "      (days 1900-01-01 to 2100-12-31, JST): date; 旧暦 (lunisolar) date as\n"
    "      M月D日, with 閏 before a leap month; 大 (a 30-day month) or 小 (29);\n"
    "      rokuyō; 干支 of the day; 正午月齢, the moon's age in days at 12:00;\n"
    "      the solar term that begins that day; the phase (新月, 上弦, 満月,\n"
    "      下弦) on the day that holds it; the 雑節, joined by ・. The last three\n"
    "      are empty on days without one. A month begins on the day of the new\n"
    "      moon, and a 中気 belongs to the month that holds its date. In 2033,\n"
    "      where these rules give no single answer, the calendar makers' 2015\n"
    "      recommendation is followed: 閏11月 from 2033-12-22. 社日 is not\n"
    "      printed. Nor is 九星: publishers switch its 陰遁 and 陽遁 by different\n"
    "      rules, so no one answer would be right for every calendar.\n"
    "  holidays YEAR [LASTYEAR]\n"
    "      Every named day of the years, substitute holidays included: DATE<TAB>NAME.\n"
    "      Holidays follow the law as it stood each year. There are none before\n"
    "      1948-07-20, when the holiday law took effect, and no equinox day after 2150.\n"
    "  ics [FROM [TO]] [--almanac]\n"
    "      The holidays of the years FROM to TO (default this year and the next; 1948\n"
    "      to 2150) as an iCalendar file to import, one all-day event each. --almanac\n"
    "      writes the almanac's calendar instead: 旧暦 month starts, solar terms and\n"
    "      雑節 (1900 to 2100), to import as a calendar of its own.\n"
    "  bar [--follow] [--date DATE]\n"
    "      Today as one JSON line for status bars: text, tooltip (the day icon's,\n"
    "      with the almanac), class (sunday, saturday or holiday) and alt. --follow\n"
    "      keeps running and prints a new line whenever the day changes.\n"
    "  icons [DATE] --out DIR [--time HH:MM] [--dpi 96|120|144] [--weeks iso|usa] [--12h]\n"
    "      The tray's 16 x 16 pictures for that day and time as PNG files (month, day,\n"
    "      weekday, moon, hour, minute, week, ok, sv, pc) and sheet.png, all of them\n"
    "      enlarged.\n"
    "  snapshot [YEAR MONTH] --out DIR [--weeks iso|usa] [--date DATE]\n"
    "      Pictures of the main window as PNG files: calendar.png (that month, today\n"
    "      marked; --weeks adds the week-number column), options.png and about.png.\n"
    "  sync (--ntp HOST[:PORT] | --http URL [--proxy HOST:PORT | --system-proxy]) [--dry-run]\n"
    "      Asks the time server as the tray does and sets the clock from its answer;\n"
    "      with --dry-run only prints what it would set. Prints outcome: 0 set, 1 no\n"
    "      usable answer, 2 not set; then the answer's local-time and its offset from\n"
    "      this machine's clock.\n"
    "\n"
    "Options:\n"
    "  --date DATE   take DATE as today\n"
    "  --help        show this help\n"
    "  --version     show the version\n"
    "\n"
    "Exit status: 0 on success, 2 for bad input, 1 when output cannot be written or\n"
    "sync's outcome is not 0.\n";

// Every command: its name, the function that runs it, and what it needs of the environment.
constexpr std::array<cal::CalCommand, 11> kCommands{{
    {"today", cal::TodayCommand, CommandNeeds::kClockOnly},
    {"month", cal::MonthCommand, CommandNeeds::kClockOnly},
    {"days", cal::DaysCommand, CommandNeeds::kClockOnly},
    {"almanac", cal::AlmanacCommand, CommandNeeds::kClockOnly},
    {"koyomi", cal::KoyomiCommand, CommandNeeds::kClockOnly},
    {"holidays", cal::HolidaysCommand, CommandNeeds::kClockOnly},
    {"ics", cal::IcsCommand, CommandNeeds::kClockOnly},
    {"bar", cal::BarCommand, CommandNeeds::kClockOnly},
    {"icons", cal::IconsCommand, CommandNeeds::kIconDrawing},
    {"snapshot", cal::SnapshotCommand, CommandNeeds::kWindowPictures},
    {"sync", cal::SyncCommand, CommandNeeds::kNetwork},
}};

const cal::CalCommand* FindCommand(std::string_view name) {
  for (const cal::CalCommand& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

}  // namespace

CommandNeeds NeedsOf(const std::vector<std::string>& args) {
  if (args.empty() || AsksForHelp(args)) return CommandNeeds::kClockOnly;
  const cal::CalCommand* command = FindCommand(args[0]);
  return command != nullptr ? command->needs : CommandNeeds::kClockOnly;
}

int RunCal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CalEnvironment& env) {
  try {
    if (args.empty()) throw cal::UsageError("missing command (try --help)");
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
      out << kUsage;
      return 0;
    }
    if (name == "--version") {
      out << "tsukio-cal " TSUKIO_VERSION "\n";
      return 0;
    }
    if (AsksForHelp(args)) {
      out << kUsage;
      return 0;
    }
    const cal::CalCommand* command = FindCommand(name);
    if (command == nullptr) throw cal::UsageError("unknown command \"" + name + "\" (try --help)");
    return command->run(args, out, err, env);
  } catch (const cal::UsageError& e) {
    err << "tsukio-cal: " << e.what() << '\n';
    return 2;
  } catch (const cal::OutputError& e) {
    err << "tsukio-cal: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace tsukio
