// tsukio-cal month: the calendar window's grid in the terminal, with the month's holidays.
#include <cstdio>

#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "calendar/date_text.h"
#include "calendar/holidays.h"
#include "calwindow/month_grid.h"

namespace tsukio::cal {

namespace chr = std::chrono;

namespace {

// ANSI colours for the terminal grid, by the day's colour.
std::string_view AnsiFor(Colour colour) {
  if (colour == day_colour::kHoliday) return "\x1b[35m";
  if (colour == day_colour::kSunday) return "\x1b[31m";
  if (colour == day_colour::kSaturday) return "\x1b[34m";
  return {};
}
constexpr std::string_view kAnsiReset = "\x1b[0m";

}  // namespace

int MonthCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                 const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("month", args, {"--weeks", "--date", "--no-color"});
  ExpectYearAndMonthOrNeither("month", parsed);
  const chr::year_month_day today = Today(parsed, env);
  const chr::year_month shown = ShownMonth(parsed, today);
  const bool colour = env.colourTerminal && !parsed.noColour;
  const auto paint = [&](std::string_view text, Colour c) {
    const std::string_view ansi = colour ? AnsiFor(c) : std::string_view{};
    if (ansi.empty()) return std::string(text);
    return std::string(ansi) + std::string(text) + std::string(kAnsiReset);
  };

  // Each cell is four columns wide; the weekday names are double-width characters.
  const int year = static_cast<int>(shown.year());
  const unsigned month = static_cast<unsigned>(shown.month());
  const std::string title = std::to_string(year) + "年" + std::to_string(month) + "月";
  const std::size_t titleColumns = std::to_string(year).size() + std::to_string(month).size() + 4;
  out << std::string((28 - titleColumns) / 2, ' ') << title << '\n';
  for (unsigned wd = 0; wd < 7; ++wd) {
    const Colour c = wd == 0   ? day_colour::kSunday
                     : wd == 6 ? day_colour::kSaturday
                               : day_colour::kWeekday;
    out << ' ' << paint(WeekdayText(chr::weekday{wd}), c) << ' ';
  }
  if (parsed.weeks) out << " 週";
  out << '\n';

  // The calendar window's grid, printed row by row; rows without a day of the month are left out.
  const MonthGrid grid =
      BuildMonthGrid(shown, today, parsed.weeks.value_or(WeekScheme::kIso), MonthGridOptions{});
  for (int row = 1; row <= 6; ++row) {
    const auto cell = [&](int column) -> const CalendarCell& {
      return grid.cells[static_cast<std::size_t>(row * 7 + column)];
    };
    bool holdsTheMonth = false;
    for (int column = 0; column < 7; ++column)
      holdsTheMonth = holdsTheMonth || cell(column).showHint;
    if (!holdsTheMonth) continue;
    for (int column = 0; column < 7; ++column) {
      const CalendarCell& day = cell(column);
      if (!day.showHint) {  // a day of another month
        out << "    ";
        continue;
      }
      char number[4];
      std::snprintf(number, sizeof number, "%2s", day.caption.c_str());
      const bool isToday = day.background == cell_colour::kToday;
      out << (isToday ? '[' : ' ') << paint(number, day.text) << (isToday ? ']' : ' ');
    }
    if (parsed.weeks) {
      char week[8];
      std::snprintf(week, sizeof week, " %2s",
                    grid.cells[kFirstWeekCell + row - 1].caption.c_str());
      out << week;
    }
    out << '\n';
  }

  std::vector<std::pair<chr::year_month_day, DayMark>> named;
  for (chr::sys_days day{shown / 1}; day <= chr::sys_days{shown / chr::last}; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DayMark mark = TrayDayMark(date);
    if (mark.IsHoliday()) named.emplace_back(date, mark);
  }
  if (!named.empty()) out << '\n';
  for (const auto& [date, mark] : named) {
    char day[8];
    std::snprintf(day, sizeof day, "%2u", static_cast<unsigned>(date.day()));
    out << day << "日(" << WeekdayText(chr::weekday{chr::sys_days{date}}) << ") "
        << paint(mark.name, mark.colour) << '\n';
  }
  return 0;
}

}  // namespace tsukio::cal
