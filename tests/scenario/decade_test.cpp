// Ten years of minutes on the headless desktop with every icon shown: each midnight's row is
// the day the calendar functions say, in their colour, and nothing the program keeps or asks
// the desktop to keep grows from one day to the next.
#include <gtest/gtest.h>
#include <malloc.h>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;
using testing::At;
using testing::HeadlessDesktop;
using testing::Millis;

// What one day asked of the desktop: the same tray calls every day, and no more characters
// drawn than the first year's busiest day (two-digit days draw one more).
struct DayCost {
  std::size_t trayCalls = 0;
  std::size_t icons = 0;
  friend bool operator==(const DayCost&, const DayCost&) = default;
};

std::size_t HeapInUse() {
  return mallinfo2().uordblks;
}

TEST(Decade, EveryMidnightForTenYearsAndNothingGrows) {
  const chr::sys_days first = chr::year{2020} / 1 / 1;
  const chr::sys_days end = chr::year{2030} / 1 / 1;
  HeadlessDesktop desktop(At(2019, 12, 31, 23, 59));
  desktop.settings.contents =
      "[Pageleaf]\nMonth=1\nWeek=1\nTime=1\nNumber=1\nEtc=1\nAuto=1\nAutoTime=1\n";
  TrayCalendar calendar(desktop.desktop());
  calendar.Start();
  desktop.Advance(Millis(2000));  // the one-time update
  // To the stroke of midnight; the pending refresh comes with its first minute.
  desktop.Advance(chr::floor<Millis>(testing::LocalTime{first} - desktop.WallTime()));
  const std::vector<int> row = desktop.tray.Ids();
  ASSERT_EQ(row.size(), 6u);

  std::optional<DayCost> ordinary;
  std::size_t heapAfterFirstYear = 0;
  std::size_t mostTextsDrawn = 0;
  int daysChecked = 0;
  for (chr::sys_days day = first; day < end; day += chr::days{1}) {
    desktop.tray.log.clear();
    desktop.painter.runs.clear();
    const int ticksBefore = desktop.minuteTimer().ticks;
    for (int minute = 0; minute < 24 * 60; ++minute) {
      // Each minute's tick comes just after the minute turns.
      desktop.Advance(Millis(60000));
      if (minute != 0) continue;

      const chr::year_month_day date{day};
      const DateTexts texts = FormatDateTexts(date);
      const DayMark mark = TrayDayMark(date);
      ASSERT_EQ(desktop.tray.Ids(), row) << IsoDateText(date);
      ASSERT_EQ(desktop.tray.Icon(110).tooltip, DayTip(date, WeekScheme::kIso, true));
      // The month, day and weekday glyphs come first, all in the day's colour, the weekday's
      // character last.
      bool weekdayDrawn = false;
      for (const TextRun& run : desktop.painter.runs) {
        ASSERT_EQ(run.colour, mark.colour) << texts.year << "/" << texts.month << "/" << texts.day;
        if ((weekdayDrawn = run.text == texts.weekday)) break;
      }
      ASSERT_TRUE(weekdayDrawn);
      ++daysChecked;
    }
    const DayCost cost{desktop.tray.log.size(), desktop.tray.icons.size()};
    if (!ordinary) ordinary = cost;
    ASSERT_EQ(cost, *ordinary) << IsoDateText(chr::year_month_day{day});
    if (heapAfterFirstYear == 0) {
      mostTextsDrawn = std::max(mostTextsDrawn, desktop.painter.runs.size());
    } else {
      ASSERT_LE(desktop.painter.runs.size(), mostTextsDrawn);
    }
    ASSERT_TRUE(desktop.minuteTimer().Pending());
    ASSERT_EQ(desktop.minuteTimer().ticks - ticksBefore, 24 * 60);  // one a minute, no more
    ASSERT_FALSE(desktop.syncStatusTimer().Pending());
    if (day + chr::days{1} == chr::sys_days{chr::year{2021} / 1 / 1})
      heapAfterFirstYear = HeapInUse();
  }
  EXPECT_EQ(daysChecked, (end - first).count());
  EXPECT_TRUE(desktop.window.errors.empty());
  EXPECT_TRUE(desktop.sync.udp.sent.empty());
  // Nine more years in the same memory, give or take the allocator's own bookkeeping.
  EXPECT_LT(HeapInUse(), heapAfterFirstYear + 64 * 1024);
}

}  // namespace
}  // namespace tsukio
