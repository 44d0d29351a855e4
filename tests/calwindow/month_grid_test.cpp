// The calendar window's month grid and its step buttons.
#include "calwindow/month_grid.h"

#include <gtest/gtest.h>

#include <string>

#include "calendar/date_text.h"
#include "calendar/holidays.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
constexpr WeekScheme kIso = WeekScheme::kIso;
constexpr WeekScheme kUsa = WeekScheme::kUsa;
constexpr MonthGridOptions kAll{true, true};

// A day far from every month the tests show, so no cell is today's.
constexpr chr::year_month_day kFarAway = chr::year{1000} / 1 / 1;

MonthGrid Grid(int year, unsigned month, WeekScheme scheme = kIso, MonthGridOptions options = kAll,
               chr::year_month_day today = kFarAway) {
  return BuildMonthGrid(chr::year{year} / chr::month{month}, today, scheme, options);
}

std::vector<std::string> Captions(const MonthGrid& grid, int from, int to) {
  std::vector<std::string> captions;
  for (int i = from; i <= to; ++i) captions.push_back(grid.cells[i].caption);
  return captions;
}

std::vector<std::string> WeekColumn(const MonthGrid& grid) {
  return Captions(grid, kFirstWeekCell, kCalendarCellCount - 1);
}

using Texts = std::vector<std::string>;

// The sweep at the end checks the shape of every month; these check what the days say.
TEST(MonthGrid, May2011StartsOnSundayAndEndsInRowFive) {
  const MonthGrid grid = Grid(2011, 5);
  EXPECT_EQ(grid.yearLabel + "/" + grid.monthLabel, "2011/5");
  EXPECT_EQ(Captions(grid, 0, 6), (Texts{"日", "月", "火", "水", "木", "金", "土"}));
  EXPECT_EQ(grid.cells[0].text, cell_colour::kSunday);
  EXPECT_EQ(grid.cells[6].text, cell_colour::kSaturday);
  EXPECT_FALSE(grid.cells[0].background.has_value());  // the header keeps the window's face

  EXPECT_EQ(Captions(grid, 7, 8), (Texts{"1", "2"}));  // no leading cells
  EXPECT_EQ(grid.cells[9].hint, "憲法記念日  第18週　仏滅　旧4月1日　戊午");
  EXPECT_EQ(grid.cells[10].hint.rfind("みどりの日  第18週", 0), 0u);
  EXPECT_EQ(grid.cells[11].hint.rfind("こどもの日  第18週", 0), 0u);
  EXPECT_EQ(grid.cells[16].hint, "  第19週　大安　旧4月8日　乙丑");  // an ordinary day's hint has no name
  EXPECT_EQ(Captions(grid, 37, 42), (Texts{"31", "1", "2", "3", "4", ""}));
  EXPECT_EQ(WeekColumn(grid), (Texts{"18", "19", "20", "21", "22", ""}));
  for (int i = kFirstWeekCell; i < kCalendarCellCount; ++i) {
    EXPECT_EQ(grid.cells[i].background, cell_colour::kWeekNumber);
    EXPECT_TRUE(grid.cells[i].visible);
  }
}

TEST(MonthGrid, February2015FillsRowFiveWithMarchAndJanuary2012HasItsSubstitute) {
  const MonthGrid february = Grid(2015, 2, kUsa);
  EXPECT_EQ(Captions(february, 34, 42), (Texts{"28", "1", "2", "3", "4", "5", "6", "7", ""}));
  EXPECT_EQ(WeekColumn(february), (Texts{"6", "7", "8", "9", "10", ""}));

  const MonthGrid january = Grid(2012, 1, kIso, {true, false});
  EXPECT_EQ(january.cells[7].hint, "元日  第52週");
  EXPECT_EQ(january.cells[8].hint, "振替休日  第1週");
  EXPECT_EQ(january.cells[8].text, cell_colour::kHoliday);
}

TEST(MonthGrid, January2010LeadingDaysAndTheFirstWeekUnderBothSchemes) {
  const MonthGrid iso = Grid(2010, 1, kIso);
  EXPECT_EQ(Captions(iso, 7, 12), (Texts{"27", "28", "29", "30", "31", "1"}));
  EXPECT_EQ(iso.cells[12].hint.rfind("元日  第53週", 0), 0u);
  EXPECT_EQ(WeekColumn(iso)[0], "53");  // from Thursday 31 December 2009

  // Under USA the row's January days are week 1, as their hints say, and so is the row.
  const MonthGrid usa = Grid(2010, 1, kUsa, {true, false});
  EXPECT_EQ(usa.cells[12].hint, "元日  第1週");
  EXPECT_EQ(usa.cells[14].hint, "  第2週");
  EXPECT_EQ(WeekColumn(usa), (Texts{"1", "2", "3", "4", "5", "6"}));
}

TEST(MonthGrid, TodayIsAquaAndNamedEvenOnAHoliday) {
  const MonthGrid grid = Grid(2012, 1, kIso, {true, false}, chr::year{2012} / 1 / 1);
  EXPECT_EQ(grid.cells[7].background, cell_colour::kToday);
  EXPECT_EQ(grid.cells[7].text, cell_colour::kHoliday);
  EXPECT_EQ(grid.cells[7].hint, "今日  第52週");
  EXPECT_EQ(grid.cells[8].hint, "振替休日  第1週");  // the Monday still takes the holiday over
  EXPECT_EQ(grid.cells[8].background, cell_colour::kDay);

  // Today in the next month, even where its days show on this grid, marks nothing.
  const MonthGrid april = Grid(2011, 4, kIso, {true, false}, chr::year{2011} / 5 / 1);
  for (const CalendarCell& cell : april.cells) EXPECT_NE(cell.background, cell_colour::kToday);
}

TEST(MonthGrid, TheOptionsOff) {
  const MonthGrid grid = Grid(2011, 5, kIso, {false, false});
  for (int i = 0; i < kCalendarCellCount; ++i) EXPECT_EQ(grid.cells[i].visible, i < kFirstWeekCell);
  EXPECT_EQ(grid.cells[9].hint, "憲法記念日  第18週");
  EXPECT_EQ(grid.cells[16].hint, "  第19週");
  // Only the almanac's years have an almanac.
  EXPECT_EQ(Grid(2101, 1).cells[13].hint, "元日  第52週");  // 1 January 2101, a Saturday
}

TEST(MonthGrid, TheFirstAndLastMonthsThereAreAreWhole) {
  // 1 January of year 1 is a Monday: the day before is still 31, not a month of 0 days.
  const MonthGrid first = Grid(1, 1);
  EXPECT_EQ(first.yearLabel, "1");
  EXPECT_EQ(Captions(first, 7, 9), (Texts{"31", "1", "2"}));
  // No 元日 in year 1: the holiday law begins on 20 July 1948.
  EXPECT_EQ(first.cells[8].hint.find("元日"), std::string::npos);
  EXPECT_EQ(first.cells[8].hint.rfind("  第", 0), 0u);
  EXPECT_EQ(first.cells[38].caption, "31");
  // 31 December 9999 is a Friday; the next day is drawn though the calendar ends there.
  const MonthGrid last = Grid(9999, 12);
  EXPECT_EQ(Captions(last, 39, 41), (Texts{"30", "31", "1"}));
  EXPECT_EQ(last.cells[41].text, cell_colour::kOtherMonth);
  EXPECT_EQ(WeekColumn(last)[4], "52");
  EXPECT_THROW(Grid(10000, 1), DateTextError);
  EXPECT_THROW(Grid(0, 12), DateTextError);
}

TEST(Paging, TheYearButtonsHoldAt2099And1900AndNoStepLeavesYears1To9999) {
  const auto ym = [](int y, unsigned m) { return chr::year{y} / chr::month{m}; };
  EXPECT_EQ(NextYear(ym(2098, 3)), ym(2099, 3));
  EXPECT_EQ(NextYear(ym(2099, 3)), ym(2099, 3));
  EXPECT_EQ(PreviousYear(ym(1900, 7)), ym(1900, 7));
  // The month buttons carry on past them, and the year buttons then go on from there.
  EXPECT_EQ(NextMonth(ym(2099, 12)), ym(2100, 1));
  EXPECT_EQ(PreviousMonth(ym(1900, 1)), ym(1899, 12));
  EXPECT_EQ(NextYear(ym(2100, 1)), ym(2101, 1));
  EXPECT_EQ(PreviousYear(ym(1899, 12)), ym(1898, 12));
  // The ends of the calendar hold, so every month the buttons reach can be built.
  EXPECT_EQ(NextMonth(ym(9999, 12)), ym(9999, 12));
  EXPECT_EQ(NextYear(ym(9999, 6)), ym(9999, 6));
  EXPECT_EQ(PreviousMonth(ym(1, 1)), ym(1, 1));
  EXPECT_EQ(PreviousYear(ym(1, 6)), ym(1, 6));
}

// Every month of 1900-2099 under both schemes: each day once, in its weekday's column and
// coloured and named as the tray would; the days around it continuous; the week column.
TEST(MonthGrid, EveryMonthOf1900To2099KeepsItsShape) {
  for (const WeekScheme scheme : {kIso, kUsa}) {
    for (int year = 1900; year <= 2099; ++year) {
      for (unsigned month = 1; month <= 12; ++month) {
        const chr::year_month shown = chr::year{year} / chr::month{month};
        const MonthGrid grid = BuildMonthGrid(shown, kFarAway, scheme, {true, false});
        const std::string where = std::to_string(year) + "/" + std::to_string(month);
        const chr::sys_days first{shown / 1};
        const chr::sys_days sunday = first - (chr::weekday{first} - chr::Sunday);
        const bool sixRows = chr::sys_days{shown / chr::last} - sunday >= chr::days{35};

        for (int i = kFirstDayCell; i < kFirstWeekCell; ++i) {
          const CalendarCell& cell = grid.cells[i];
          ASSERT_EQ(cell.background, cell_colour::kDay) << where;
          if (i >= 42 && !sixRows) {
            ASSERT_EQ(cell.caption + (cell.showHint ? "hint" : ""), "") << where << " cell " << i;
            continue;
          }
          const chr::year_month_day date{sunday + chr::days{i - kFirstDayCell}};
          ASSERT_EQ(cell.caption, std::to_string(static_cast<unsigned>(date.day()))) << where;
          ASSERT_EQ(cell.showHint, date.year() / date.month() == shown) << where << " cell " << i;
          if (!cell.showHint) {
            ASSERT_EQ(cell.text, cell_colour::kOtherMonth) << where;
            continue;
          }
          const DayMark mark = TrayDayMark(date);
          const Colour weekday = i % 7 == 0   ? cell_colour::kSunday
                                 : i % 7 == 6 ? cell_colour::kSaturday
                                              : cell_colour::kText;
          ASSERT_EQ(cell.text, mark.IsHoliday() ? cell_colour::kHoliday : weekday) << where;
          ASSERT_EQ(cell.hint, std::string(mark.name) + "  第" +
                                   std::to_string(WeekNumber(date, scheme)) + "週")
              << where;
        }

        // ISO numbers a row by its Thursday; USA by its days of the month, which share one
        // week, or by its Thursday when it has none.
        for (int row = 0; row < 6; ++row) {
          const chr::sys_days from = sunday + chr::weeks{row};
          int week = WeekNumber(from + chr::days{4}, scheme);
          for (int column = 6; scheme == kUsa && column >= 0; --column) {
            const chr::year_month_day day{from + chr::days{column}};
            if (day.year() / day.month() == shown) week = WeekNumber(day, kUsa);
          }
          ASSERT_EQ(grid.cells[kFirstWeekCell + row].caption,
                    row == 5 && !sixRows ? "" : std::to_string(week))
              << where << " row " << row + 1 << (scheme == kUsa ? " usa" : " iso");
        }
      }
    }
  }
}

}  // namespace
}  // namespace tsukio
