#include "calwindow/month_grid.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

constexpr std::array<std::string_view, 7> kHeader = {"日", "月", "火", "水", "木", "金", "土"};
constexpr std::string_view kTodayHint = "今日";
constexpr int kColumns = 7;
constexpr int kLastDayCell = kFirstWeekCell - 1;
constexpr int kLastRowFiveCell = 41;

Colour ColumnColour(int column) {
  if (column == 0) return cell_colour::kSunday;
  if (column == kColumns - 1) return cell_colour::kSaturday;
  return cell_colour::kText;
}

int YearOf(chr::year_month ym) {
  return static_cast<int>(ym.year());
}
int MonthOf(chr::year_month ym) {
  return static_cast<int>(static_cast<unsigned>(ym.month()));
}

// Months counted from January of year 0, so a step is plain arithmetic and the limits are
// one comparison.
constexpr int kFirstMonth = kMinYear * 12;
constexpr int kLastMonth = kMaxYear * 12 + 11;

chr::year_month MonthAt(int index) {
  index = std::clamp(index, kFirstMonth, kLastMonth);
  return chr::year{index / 12} / chr::month{static_cast<unsigned>(index % 12 + 1)};
}

int IndexOf(int year, int month) {
  return year * 12 + month - 1;
}

}  // namespace

CellLayout CalendarCellLayout(int index) {
  CellLayout layout;
  if (index >= kFirstWeekCell) {
    layout.left = 212;
    layout.top = 24 * index - 1144;
    layout.bevel = Bevel::kLowered;
    layout.bold = false;
    return layout;
  }
  layout.left = 40 + 24 * (index % kColumns);
  layout.top = 24 * ((index + kColumns) / kColumns) - 16;
  layout.bevel = index < kFirstDayCell ? Bevel::kRaised : Bevel::kNone;
  return layout;
}

MonthGrid EmptyMonthGrid() {
  MonthGrid grid;
  for (int i = 0; i < kFirstDayCell; ++i) grid.cells[i].background.reset();
  for (int i = kFirstWeekCell; i < kCalendarCellCount; ++i) {
    grid.cells[i].background = cell_colour::kWeekNumberEmpty;
  }
  return grid;
}

MonthGrid BuildMonthGrid(chr::year_month shown, chr::year_month_day today, WeekScheme scheme,
                         MonthGridOptions options) {
  const int year = YearOf(shown);
  if (!shown.ok() || year < kMinYear || year > kMaxYear) {
    throw DateTextError("no such month: " + std::to_string(year) + "/" +
                        std::to_string(MonthOf(shown)));
  }
  MonthGrid grid = EmptyMonthGrid();
  for (int column = 0; column < kColumns; ++column) {
    grid.cells[column].caption = kHeader[column];
    grid.cells[column].text = ColumnColour(column);
  }

  // Rows 1 to 5 always hold dates; row 6 only when the month reaches it. Dates are counted
  // with the calendar types, so the days around January of year 1 and December of 9999
  // still read as the days they are.
  const chr::sys_days first{shown / 1};
  const chr::sys_days gridStart = first - (chr::weekday{first} - chr::Sunday);
  const chr::sys_days last{shown / chr::last};
  const int lastDayCell = kFirstDayCell + static_cast<int>((last - gridStart).count());
  const int lastDateCell = lastDayCell / kColumns == 6 ? kLastDayCell : kLastRowFiveCell;

  DayMark before;  // the mark of the cell to the left, when it is a day of the month
  for (int i = kFirstDayCell; i <= lastDateCell; ++i) {
    CalendarCell& cell = grid.cells[i];
    const chr::year_month_day date{gridStart + chr::days{i - kFirstDayCell}};
    cell.caption = std::to_string(static_cast<unsigned>(date.day()));
    if (date.year() / date.month() != shown) {
      cell.text = cell_colour::kOtherMonth;
      before = DayMark{};
      continue;
    }

    const DayMark own = LookUpHoliday(date);
    cell.text = ColumnColour(i % kColumns);
    if (own.IsHoliday()) {
      cell.text = cell_colour::kHoliday;
      cell.hint = own.name;
    } else if (IsSubstituteHoliday(date, own, before)) {
      cell.text = cell_colour::kHoliday;
      cell.hint = kSubstituteHolidayName;
    }
    before = own;

    if (date == today) {
      cell.background = cell_colour::kToday;
      cell.hint = kTodayHint;
    }
    cell.hint += "  第";
    cell.hint += std::to_string(WeekNumber(date, scheme));
    cell.hint += "週";
    if (options.Etc) cell.hint += AlmanacTip(date);
    cell.showHint = true;
  }

  for (int row = 1; row <= 6; ++row) {
    CalendarCell& cell = grid.cells[kLastDayCell + row];
    cell.background = cell_colour::kWeekNumber;
    cell.visible = options.Number;
    if (row == 6 && lastDateCell != kLastDayCell) continue;  // a blank row has no week
    cell.caption = std::to_string(RowWeekNumber(gridStart + chr::weeks{row - 1}, shown, scheme));
  }

  grid.shown = shown;
  grid.yearLabel = std::to_string(year);
  grid.monthLabel = std::to_string(MonthOf(shown));
  return grid;
}

chr::year_month NextYear(chr::year_month shown) {
  int year = YearOf(shown) + 1;
  if (year == 2100) year = 2099;
  return MonthAt(IndexOf(std::min(year, kMaxYear), MonthOf(shown)));
}

chr::year_month PreviousYear(chr::year_month shown) {
  int year = YearOf(shown) - 1;
  if (year == 1899) year = 1900;
  return MonthAt(IndexOf(std::max(year, kMinYear), MonthOf(shown)));
}

chr::year_month NextMonth(chr::year_month shown) {
  return MonthAt(IndexOf(YearOf(shown), MonthOf(shown)) + 1);
}

chr::year_month PreviousMonth(chr::year_month shown) {
  return MonthAt(IndexOf(YearOf(shown), MonthOf(shown)) - 1);
}

}  // namespace tsukio
