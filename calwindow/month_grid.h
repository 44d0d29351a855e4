#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>

#include "calendar/colour.h"
#include "calendar/weeks.h"

namespace tsukio {

// The calendar window's 55 cells: the weekday header (0–6), six rows of seven day cells
// (7–48, row r = i / 7, Sunday in column 0) and the week-number column beside rows 1–6 (49–54).
inline constexpr int kCalendarCellCount = 55;
inline constexpr int kFirstDayCell = 7;
inline constexpr int kFirstWeekCell = 49;

namespace cell_colour {
inline constexpr Colour kText{0x000000};
inline constexpr Colour kSunday{0x0000FF};
inline constexpr Colour kSaturday{0xFF0000};
inline constexpr Colour kHoliday{0xFF00FF};
inline constexpr Colour kOtherMonth{0xC0C0C0};  // silver
inline constexpr Colour kDay{0xFFFFFF};
inline constexpr Colour kToday{0xFFFF00};            // aqua
inline constexpr Colour kWeekNumber{0xBFAFAF};       // greyish lavender
inline constexpr Colour kWeekNumberEmpty{0x808080};  // before the first build
}  // namespace cell_colour

// One cell as the window shows it. The hint is the cell's tooltip; only the days of the
// shown month have one.
struct CalendarCell {
  std::string caption;
  Colour text = cell_colour::kText;
  // None: the window's own face colour, which the header row keeps.
  std::optional<Colour> background = cell_colour::kDay;
  std::string hint;
  bool showHint = false;
  bool visible = true;

  friend bool operator==(const CalendarCell&, const CalendarCell&) = default;
};

// The calendar view's state: the cells, and the year and month labels, which are the
// only record of the month on display.
struct MonthGrid {
  std::array<CalendarCell, kCalendarCellCount> cells;
  std::chrono::year_month shown;
  std::string yearLabel;   // the year label, "2011"
  std::string monthLabel;  // the month label, "1" … "12"

  friend bool operator==(const MonthGrid&, const MonthGrid&) = default;
};

enum class Bevel { kNone, kRaised, kLowered };

// Where a cell sits and how it is drawn; fixed for the life of the window. Neighbouring
// cells overlap by one pixel, so their borders meet in one line.
struct CellLayout {
  int left = 0;
  int top = 0;
  int width = 25;
  int height = 25;
  Bevel bevel = Bevel::kNone;
  bool bold = true;
};
CellLayout CalendarCellLayout(int index);

// The grid as the window is made, before any month is built: empty captions.
MonthGrid EmptyMonthGrid();

// The two display options the grid follows.
struct MonthGridOptions {
  bool Number = false;  // show the week-number column
  bool Etc = false;     // add the almanac to each day's hint
};

// Fills every cell for `shown`: the header, the days with their colours and hints (holiday
// or "今日", week number, almanac), the neighbouring months' days in silver, today in aqua
// when it falls in the month, and the week-number column. `shown` must lie in years 1..9999.
MonthGrid BuildMonthGrid(std::chrono::year_month shown, std::chrono::year_month_day today,
                         WeekScheme scheme, MonthGridOptions options);

// The months the step buttons lead to. The year buttons hold at 2099 and at 1900, though the
// month buttons carry on past them; no step leaves the years 1..9999, where the dates end.
std::chrono::year_month NextYear(std::chrono::year_month shown);       // ▲
std::chrono::year_month PreviousYear(std::chrono::year_month shown);   // ▼
std::chrono::year_month NextMonth(std::chrono::year_month shown);      // ▲
std::chrono::year_month PreviousMonth(std::chrono::year_month shown);  // ▼

}  // namespace tsukio
