// The tray calendar's stories, told on the headless desktop.
#include <gtest/gtest.h>

#include "calendar/date_text.h"
#include "tests/support/headless_desktop.h"

namespace tsukio {
namespace {

using testing::At;
using testing::HeadlessDesktop;
using testing::Millis;
namespace chr = std::chrono;
using Ids = std::vector<int>;

constexpr auto kSecond = Millis(1000);
constexpr auto kMinute = Millis(60000);

struct Story {
  explicit Story(testing::LocalTime start) : desktop(start), calendar(desktop.desktop()) {}
  HeadlessDesktop desktop;
  TrayCalendar calendar;

  // The settings file the program will find at start-up.
  void Stored(const std::string& keys) { desktop.settings.contents = "[Pageleaf]\n" + keys; }
  void ShowEverything(const std::string& more = "") {
    Stored("Month=1\nWeek=1\nTime=1\nNumber=1\n" + more);
  }
  // The colours the painter was asked for, in drawing order.
  std::vector<Colour> Colours() const {
    std::vector<Colour> colours;
    for (const TextRun& run : desktop.painter.runs) colours.push_back(run.colour);
    return colours;
  }
  // The texts the last refresh drew, in drawing order.
  std::vector<std::string> RefreshedTexts() {
    desktop.painter.runs.clear();
    calendar.Refresh();
    return Texts();
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const TextRun& run : desktop.painter.runs) texts.push_back(run.text);
    return texts;
  }
  std::string Tooltip(int id) const { return desktop.tray.Icon(id).tooltip; }
  // Everything drawn since the runs were last cleared, as one text.
  std::string Drawn() const {
    std::string all;
    for (const TextRun& run : desktop.painter.runs) all += run.text;
    return all;
  }
};

TEST(StartUp, FirstStartWithNoSettingsShowsTheDayIconAlone) {
  Story s(At(2011, 3, 8, 10, 0));
  s.calendar.Start();
  EXPECT_EQ(s.desktop.tray.Ids(), Ids{110});
  EXPECT_EQ(s.Tooltip(110), "2011年3月8日(火)  第10週");
  EXPECT_EQ(s.calendar.State().startup, StartupPhase::kRunning);
  EXPECT_EQ(s.calendar.State().shownDate, chr::year{2011} / 3 / 8);
  EXPECT_TRUE(s.desktop.minuteTimer().Pending());
  EXPECT_EQ(s.desktop.minuteTimer().lastDelay, 14 * 3600000 + 50);  // just past midnight
  EXPECT_EQ(s.desktop.autoUpdateTimer().lastDelay, 30000);          // the one-time update's delay
  EXPECT_EQ(s.calendar.State().autoUpdateDelayMs, 30000);
  EXPECT_FALSE(s.desktop.window.shown.visible);
  // The first refresh deletes before it adds: nothing of an earlier run may linger. (The
  // week-number box, loaded cleared, also takes its icon away while its rule sets the panel up.)
  EXPECT_EQ(s.desktop.tray.log, (std::vector<std::string>{"delete 130", "delete 110", "add 110"}));
}

TEST(Refresh, DayColoursAndTooltips) {
  struct Case {
    testing::LocalTime when;
    Colour colour;
    std::string tooltip;
  };
  const std::vector<Case> cases = {
      {At(2011, 5, 15), day_colour::kSunday, "2011年5月15日(日)  第19週"},
      {At(2011, 5, 14), day_colour::kSaturday, "2011年5月14日(土)  第19週"},
      {At(2011, 5, 10), day_colour::kWeekday, "2011年5月10日(火)  第19週"},
      {At(2011, 5, 3), day_colour::kHoliday, "2011年5月3日(火) -憲法記念日-  第18週"},
      {At(2012, 1, 2), day_colour::kHoliday, "2012年1月2日(月) -振替休日-  第1週"},
      {At(2011, 5, 9), day_colour::kExaminedMonday, "2011年5月9日(月)  第19週"},
      {At(2012, 10, 1), day_colour::kWeekday, "2012年10月1日(月)  第40週"},  // never across months
  };
  for (const Case& c : cases) {
    Story s(c.when);
    s.Stored("Month=1\nWeek=1\n");
    s.calendar.Start();
    const std::vector<Colour> colours = s.Colours();  // month, day and weekday alike
    EXPECT_GE(colours.size(), 3u);
    for (Colour colour : colours) EXPECT_EQ(colour, c.colour) << c.tooltip;
    EXPECT_EQ(s.Tooltip(110), c.tooltip);
    EXPECT_EQ(s.calendar.State().dateTip, c.tooltip);
  }
}

TEST(Refresh, AlmanacAndWeekSchemeInTheTooltip) {
  Story s(At(2009, 2, 4, 9, 0));
  s.Stored("Etc=1\n");
  s.calendar.Start();
  EXPECT_EQ(s.Tooltip(110), "2009年2月4日(水)  第6週　仏滅　立春　旧1月10日　庚辰");

  Story outside(At(1899, 2, 6, 9, 0));  // no almanac that year: the tooltip ends with 週
  outside.Stored("Etc=1\n");
  outside.calendar.Start();
  EXPECT_EQ(outside.Tooltip(110), "1899年2月6日(月)  第6週");
}

TEST(Refresh, BuildOrder) {
  Story s(At(2011, 5, 10, 13, 5));
  s.ShowEverything();
  s.desktop.tray.largerSizes = {22, 32};
  s.calendar.Start();
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130}));
  // The first row goes out at 16 pixels, drawn once; the sizes the tray asks for follow when
  // the loop turns next, each icon changed in place.
  for (const testing::TrayIcon& icon : s.desktop.tray.icons) {
    EXPECT_EQ(icon.sizes, std::vector<int>{16}) << icon.id;
  }
  EXPECT_EQ(s.Texts().size(), 9u);
  s.desktop.tray.log.clear();
  s.desktop.Advance(Millis(1));
  for (const testing::TrayIcon& icon : s.desktop.tray.icons) {
    EXPECT_EQ(icon.sizes, (std::vector<int>{16, 22, 32})) << icon.id;
  }
  EXPECT_EQ(s.desktop.tray.log.front(), "modify 100");
  EXPECT_EQ(s.Tooltip(100), "今月");
  EXPECT_EQ(s.Tooltip(120), "曜日");
  EXPECT_EQ(s.Tooltip(140), "時");
  EXPECT_EQ(s.Tooltip(150), "分");
  EXPECT_EQ(s.Tooltip(130), "第19週");
  EXPECT_EQ(s.RefreshedTexts(),
            (std::vector<std::string>{"5", "1", "0", "火", "1", "3", "5", "1", "9"}));
}

// The moon stands at the right end of the date icons, comes and goes with its box, and is
// saved; its tooltip is the noon age and the day's phase, or says the age is unknown.
TEST(Refresh, TheMoonAfterTheDateIcons) {
  Story s(At(2026, 12, 9, 10, 0));  // 旧11月1日, a new moon
  s.ShowEverything("Moon=1\n");
  s.calendar.Start();
  EXPECT_TRUE(s.calendar.Window().options.showMoon.checked);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 160, 140, 150, 130}));
  EXPECT_EQ(s.Tooltip(160), "月齢 0.1 新月");

  s.calendar.ShowOptions();
  s.calendar.SetOptionBox(OptionBox::kMoon, false);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130}));
  s.calendar.AcceptOptions();
  EXPECT_NE(s.desktop.settings.contents.value().find("\nMoon=0\n"), std::string::npos);
  s.calendar.ShowOptions();
  s.calendar.SetOptionBox(OptionBox::kMoon, true);
  EXPECT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 160, 140, 150, 130}));
  s.calendar.AcceptOptions();
  EXPECT_NE(s.desktop.settings.contents.value().find("\nMoon=1\n"), std::string::npos);

  s.desktop.Jump(At(2026, 12, 12, 10, 0));
  s.calendar.Refresh();
  EXPECT_EQ(s.Tooltip(160), "月齢 3.1");

  Story outside(At(2101, 1, 1, 10, 0));
  outside.Stored("Moon=1\n");
  outside.calendar.Start();
  EXPECT_EQ(outside.Tooltip(160), "月齢不明");
}

TEST(Refresh, TwelveHourClock) {
  struct Case {
    int hour, minute;
    bool twelve;
    std::vector<std::string> texts;
  };
  for (const Case& c : std::vector<Case>{{0, 30, true, {"1", "2", "3", "0"}},
                                         {13, 5, true, {"1", "5"}},
                                         {0, 30, false, {"0", "3", "0"}},
                                         {13, 5, false, {"1", "3", "5"}},
                                         {12, 0, true, {"1", "2", "0"}}}) {
    Story s(At(2011, 5, 10, c.hour, c.minute));
    s.Stored(std::string("Time=1\n12h=") + (c.twelve ? "1" : "0") + "\n");
    s.calendar.Start();
    const std::vector<std::string> texts = s.RefreshedTexts();
    const std::vector<std::string> clock(texts.begin() + 2, texts.end());  // after the day "10"
    EXPECT_EQ(clock, c.texts) << c.hour << ":" << c.minute << (c.twelve ? " 12h" : "");
  }
}

// The clock icons follow the wall clock: the minute icon changes within a second after the
// minute turns, whatever the one-time update's delay, and also after 設定 reloaded it.
TEST(Timer, TheMinuteIconTurnsWithTheMinute) {
  struct Case {
    std::string keys;
    bool optionsOpened;
  };
  for (const Case& c : std::vector<Case>{{"Auto=0\nAutoTime=30\n", false},
                                         {"Auto=0\nAutoTime=300\n", false},
                                         {"Auto=1\nAutoTime=45\n", false},
                                         {"Auto=0\nAutoTime=11\n", true},
                                         {"Auto=1\nAutoTime=300\n", true}}) {
    SCOPED_TRACE(c.keys + (c.optionsOpened ? " 設定" : ""));
    Story s(At(2011, 5, 10, 10, 0, 17) + Millis(400));
    s.Stored("Time=1\n" + c.keys);
    s.calendar.Start();
    for (int minute = 1; minute <= 6; ++minute) {
      if (c.optionsOpened && minute == 3) {
        s.desktop.Advance(Millis(20000));
        s.calendar.ShowOptions();
        s.desktop.Advance(Millis(5000));
        s.calendar.CancelOptions();
      }
      // Up to just before the turn: the old minute still shows.
      const Millis toTurn = chr::floor<Millis>(At(2011, 5, 10, 10, minute) - s.desktop.WallTime());
      s.desktop.Advance(toTurn - Millis(1));
      s.desktop.painter.runs.clear();
      s.desktop.Advance(kSecond);
      EXPECT_TRUE(s.Drawn().ends_with(std::to_string(minute))) << "10:0" << minute;
    }
  }
}

// At rest the program wakes only when a picture can change: every minute with the clock
// shown, otherwise once a day, at midnight, which still turns the row at once.
TEST(Timer, AtRestTicksOnlyWhenAPictureCanChange) {
  struct Case {
    std::string keys;
    int ticksToMidnight;  // from 9:00:30
    int ticksInADay;
  };
  for (const Case& c : std::vector<Case>{{"Time=1\nAuto=1\n", 15 * 60, 24 * 60},
                                         {"Auto=0\n", 1, 1},
                                         {"Auto=1\nAutoTime=45\n", 1, 1},
                                         {"Month=1\nWeek=1\nNumber=1\nEtc=1\n", 1, 1}}) {
    Story s(At(2011, 5, 10, 9, 0, 30));
    s.Stored(c.keys);
    s.calendar.Start();
    s.desktop.Advance(Millis(15 * 3600000 - 30000 - 1));  // to 23:59:59.999
    EXPECT_TRUE(s.Tooltip(110).starts_with("2011年5月10日")) << c.keys;
    s.desktop.Advance(kSecond);
    EXPECT_TRUE(s.Tooltip(110).starts_with("2011年5月11日")) << c.keys;
    EXPECT_EQ(s.desktop.minuteTimer().ticks, c.ticksToMidnight) << c.keys;
    s.desktop.Advance(Millis(24 * 3600000));
    EXPECT_EQ(s.desktop.minuteTimer().ticks, c.ticksToMidnight + c.ticksInADay) << c.keys;
  }
}

// A row of dates asleep until midnight wakes with the minute as soon as it shows a clock,
// whether the box was checked in the panel or the settings reloaded with it.
TEST(Timer, TheClockSwitchedOnTurnsWithTheNextMinute) {
  for (const bool reloaded : {false, true}) {
    Story s(At(2011, 5, 10, 10, 0, 30));
    s.calendar.Start();
    s.desktop.Advance(Millis(5 * 60000));  // 10:05:30
    if (reloaded) {
      s.Stored("Time=1\n");
      s.calendar.ShowOptions();
    } else {
      s.calendar.SetOptionBox(OptionBox::kClock, true);
    }
    s.desktop.painter.runs.clear();
    s.desktop.Advance(Millis(31000));  // 10:06:01
    EXPECT_EQ(s.Drawn(), "6") << (reloaded ? "reloaded" : "checked");
  }
}

TEST(Timer, TheOneTimeUpdateKeepsItsDelayAndRules) {
  Story s(At(2011, 5, 10, 9, 0, 20));
  s.Stored("Auto=1\nAutoTime=45\n");
  s.calendar.Start();
  s.desktop.tray.log.clear();
  s.desktop.Advance(Millis(44999));  // 9:01:04.999: the minute's tick changes nothing
  EXPECT_TRUE(s.desktop.tray.log.empty());
  s.desktop.Advance(Millis(1));  // 9:01:05: the one-time update, a whole refresh
  EXPECT_EQ(s.desktop.tray.log, (std::vector<std::string>{"delete 110", "add 110"}));
  EXPECT_EQ(s.calendar.State().autoUpdateDelayMs, 0);
  s.desktop.tray.log.clear();
  s.desktop.Advance(Millis(10 * 60000));  // once only
  EXPECT_TRUE(s.desktop.tray.log.empty());

  // Opening 設定 loads the settings again, and with them the delay.
  s.calendar.ShowOptions();
  s.calendar.CloseWindow();
  s.desktop.Advance(Millis(44000));
  EXPECT_TRUE(s.desktop.tray.log.empty());
  s.desktop.Advance(Millis(1000));
  EXPECT_EQ(s.desktop.tray.log, (std::vector<std::string>{"delete 110", "add 110"}));

  // With 1度だけ自動更新 off it never runs, until the box is checked: then at the next minute.
  Story off(At(2011, 5, 10, 9, 0, 20));
  off.Stored("Auto=0\nAutoTime=10\n");
  off.calendar.Start();
  off.desktop.tray.log.clear();
  off.desktop.Advance(Millis(5 * 60000));
  EXPECT_TRUE(off.desktop.tray.log.empty());
  EXPECT_NE(off.calendar.State().autoUpdateDelayMs, 0);
  off.calendar.ShowOptions();
  off.desktop.Advance(Millis(11000));  // 9:05:31: the reload's delay ran out, still off
  off.calendar.SetOptionBox(OptionBox::kAutoUpdate, true);
  EXPECT_TRUE(off.desktop.tray.log.empty());
  off.desktop.Advance(Millis(30000));  // the next minute takes it
  EXPECT_EQ(off.desktop.tray.log, (std::vector<std::string>{"delete 110", "add 110"}));
  EXPECT_EQ(off.calendar.State().autoUpdateDelayMs, 0);
}

TEST(Timer, WithTheClockShownTheFirstMinuteRefreshesEverything) {
  Story s(At(2011, 5, 10, 9, 0, 10));
  s.Stored("Time=1\n");
  s.calendar.Start();
  EXPECT_TRUE(s.calendar.State().refreshPending);
  s.desktop.tray.log.clear();
  s.desktop.Advance(Millis(51000));
  EXPECT_EQ(s.desktop.tray.log.front(), "delete 110");
  EXPECT_FALSE(s.calendar.State().refreshPending);
  s.desktop.tray.log.clear();
  s.desktop.Advance(kMinute);
  EXPECT_EQ(s.desktop.tray.log, std::vector<std::string>{"modify 150"});
}

TEST(Timer, MidnightRefreshesTheWholeRowWithinASecond) {
  for (const char* keys : {"Time=1\nMonth=1\n", "Month=1\n"}) {
    Story s(At(2011, 5, 31, 23, 58, 30));
    s.Stored(keys);
    s.calendar.Start();
    s.desktop.Advance(Millis(90000 - 1));  // 23:59:59.999
    EXPECT_EQ(s.calendar.State().shownDate, chr::year{2011} / 5 / 31) << keys;
    s.desktop.tray.log.clear();
    s.desktop.Advance(kSecond);
    EXPECT_EQ(s.calendar.State().shownDate, chr::year{2011} / 6 / 1) << keys;
    EXPECT_EQ(s.Tooltip(110), "2011年6月1日(水)  第22週") << keys;
    EXPECT_EQ(s.desktop.tray.log.front(), "delete 100") << keys;
  }
}

// The timers count elapsed time; a wall clock set forward or back is noticed at once when the
// desktop reports it, and at the latest at the next tick when it does not.
TEST(Timer, WallClockJumpsForwardAndBack) {
  struct Case {
    testing::LocalTime to;
    std::string clock;  // the hour and minute drawn right after the jump
  };
  for (const Case& c : std::vector<Case>{{At(2011, 5, 10, 10, 20, 45) + Millis(500), "20"},
                                         {At(2011, 5, 10, 9, 58, 10), "958"}}) {
    Story s(At(2011, 5, 10, 10, 0, 30));
    s.Stored("Time=1\n");
    s.calendar.Start();
    s.desktop.Advance(Millis(40000));  // past the first minute's full refresh: 10:01:10
    s.desktop.Jump(c.to);
    s.desktop.painter.runs.clear();
    s.calendar.OnWallClockChanged();
    EXPECT_EQ(s.Drawn(), c.clock);
    // Aimed again: the next turn of the minute by the new clock.
    const testing::LocalTime turn = chr::ceil<chr::minutes>(c.to);
    s.desktop.Advance(chr::floor<Millis>(turn - s.desktop.WallTime()) - Millis(1));
    s.desktop.painter.runs.clear();
    s.desktop.Advance(kSecond);
    EXPECT_FALSE(s.Drawn().empty());
  }

  // Unreported: the next tick, aimed by the old clock, reads the new one and aims anew.
  Story quiet(At(2011, 5, 10, 10, 0, 30));
  quiet.Stored("Time=1\n");
  quiet.calendar.Start();
  quiet.desktop.Advance(Millis(40000));  // 10:01:10
  quiet.desktop.Jump(At(2011, 5, 10, 10, 30, 5));
  quiet.desktop.painter.runs.clear();
  quiet.desktop.Advance(Millis(50100));  // the old aim: 10:30:55 by the new clock
  EXPECT_EQ(quiet.Drawn(), "30");
  quiet.desktop.painter.runs.clear();
  quiet.desktop.Advance(Millis(5000));  // 10:31:00 and a little: on the minute again
  EXPECT_EQ(quiet.Drawn(), "31");

  // A jump over midnight is a new day: the whole row.
  Story day(At(2011, 5, 10, 23, 0));
  day.calendar.Start();
  day.desktop.Jump(At(2011, 5, 11, 7, 30));
  day.calendar.OnWallClockChanged();
  EXPECT_EQ(day.Tooltip(110), "2011年5月11日(水)  第19週");

  // A month on, the same day of the month (the clock set, a resume): a new date all the same,
  // whether the desktop reports the jump or the next tick (aimed at midnight by the old
  // clock, an hour on) finds it.
  for (const bool reported : {true, false}) {
    Story month(At(2011, 5, 10, 23, 0));
    month.Stored("Month=1\nWeek=1\nNumber=1\n");
    month.calendar.Start();
    month.desktop.tray.log.clear();
    month.desktop.Jump(At(2011, 6, 10, 9, 0, 30));
    reported ? month.calendar.OnWallClockChanged() : month.desktop.Advance(Millis(3601000));
    EXPECT_EQ(month.desktop.tray.log.front(), "delete 100") << reported;
    EXPECT_EQ(month.Tooltip(110), "2011年6月10日(金)  第23週") << reported;
    EXPECT_EQ(month.Tooltip(130), "第23週") << reported;
  }
}

TEST(TrayHost, ARestartedPanelGetsEveryIconBackAtOnce) {
  Story s(At(2011, 5, 10, 13, 5));
  s.ShowEverything("Auto=1\n");
  s.calendar.Start();
  s.desktop.Advance(Millis(90000));  // past start-up's refreshes
  const std::vector<testing::TrayIcon> before = s.desktop.tray.icons;
  const int ticks = s.desktop.minuteTimer().ticks;
  s.desktop.tray.Restart();
  EXPECT_EQ(s.desktop.minuteTimer().ticks, ticks);  // no tick needed
  ASSERT_EQ(s.desktop.tray.Ids(), (Ids{100, 110, 120, 140, 150, 130}));
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(s.desktop.tray.icons[i].tooltip, before[i].tooltip);
  }
}

// Loading the settings may tell the tray of a host before the first refresh has run: the
// first refresh adds every icon once, not twice.
TEST(TrayHost, AHostNoticedDuringStartUpAddsNothingExtra) {
  Story s(At(2011, 5, 10, 13, 5));
  s.desktop.tray.Restart();
  EXPECT_TRUE(s.desktop.tray.log.empty());
  s.calendar.Start();
  EXPECT_EQ(std::count(s.desktop.tray.log.begin(), s.desktop.tray.log.end(), "add 110"), 1);
}

TEST(Resume, AcrossMidnightTheNewDateShowsAtOnce) {
  Story s(At(2011, 5, 10, 23, 0));
  s.calendar.Start();
  s.desktop.Jump(At(2011, 5, 11, 7, 30));
  s.calendar.ResumeFromStandby();
  EXPECT_EQ(s.Tooltip(110), "2011年5月11日(水)  第19週");
}

// The timers did not count the sleep: a row waiting for midnight still turns on time.
TEST(Resume, TheNextMidnightComesOnTime) {
  Story s(At(2011, 5, 10, 9, 0));
  s.calendar.Start();
  s.desktop.Jump(At(2011, 5, 10, 21, 0));
  s.calendar.ResumeFromStandby();
  s.desktop.Advance(Millis(3 * 3600000 + 1000));  // 00:00:01
  EXPECT_EQ(s.Tooltip(110), "2011年5月11日(水)  第19週");
}

TEST(Clicks, LeftAndRightInEveryView) {
  Story s(At(2011, 1, 10, 12, 0));
  s.calendar.Start();
  const MainWindowModel& window = s.desktop.window.shown;

  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);  // hidden: the calendar opens
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.view, View::kCalendar);
  EXPECT_EQ(window.caption, "2011年1月10日(月) -成人の日-  第2週");
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);  // the calendar closes
  EXPECT_FALSE(window.visible);

  s.calendar.ShowAbout();
  EXPECT_EQ(window.caption, "バージョン情報");
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);
  EXPECT_FALSE(window.visible);

  s.calendar.ShowOptions();
  EXPECT_EQ(window.caption, "設定");
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);  // never closes the options panel
  EXPECT_TRUE(window.visible);
  s.calendar.OnTrayEvent(TrayEvent::kOther);
  EXPECT_TRUE(window.visible);

  s.calendar.OnTrayEvent(TrayEvent::kRightButtonDown);  // any view: hidden, and the menu opens
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(s.desktop.tray.menusOpened, 1);
  s.calendar.ShowCalendar();
  s.calendar.OnTrayEvent(TrayEvent::kRightButtonDown);
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(s.desktop.tray.menusOpened, 2);

  s.calendar.ShowCalendar();
  s.calendar.CloseWindow();
  EXPECT_FALSE(window.visible);
}

// Cell 16 is 10 May 2011 and cell 17 the 11th; cell 7 is the 1st.
TEST(Calendar, OpensOnTheCurrentMonthAndPages) {
  Story s(At(2011, 5, 10, 12, 0));
  s.Stored("Number=1\n");
  s.calendar.Start();
  const MainWindowModel& window = s.desktop.window.shown;
  s.calendar.ShowAbout();
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);  // the about view closes
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);  // and the calendar opens, not the about view
  EXPECT_EQ(window.view, View::kCalendar);
  EXPECT_EQ(window.caption, s.calendar.State().dateTip);
  EXPECT_EQ(window.calendar.yearLabel + "/" + window.calendar.monthLabel, "2011/5");
  EXPECT_EQ(window.calendar.cells[16].background, cell_colour::kToday);
  EXPECT_TRUE(window.calendar.cells[kFirstWeekCell].visible);

  s.calendar.ShowNextMonth();
  s.calendar.ShowNextYear();
  EXPECT_EQ(window.calendar.yearLabel + "/" + window.calendar.monthLabel, "2012/6");
  s.calendar.ShowPreviousMonth();
  s.calendar.ShowPreviousYear();
  EXPECT_EQ(window.calendar.cells[16].background, cell_colour::kToday);  // back on today
  EXPECT_TRUE(window.visible);

  s.calendar.ShowNextYear();
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);
  EXPECT_FALSE(window.visible);
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);  // every opening returns to this month
  EXPECT_EQ(window.calendar.yearLabel + "/" + window.calendar.monthLabel, "2011/5");
}

TEST(Calendar, AGridLeftOpenOverMidnightKeepsItsTodayUntilReopened) {
  Story s(At(2011, 5, 10, 23, 59));
  s.calendar.Start();
  s.calendar.ShowCalendar();
  s.desktop.Advance(2 * kMinute);  // the tray turns to the 11th
  EXPECT_EQ(s.Tooltip(110), "2011年5月11日(水)  第19週");
  const MainWindowModel& window = s.desktop.window.shown;
  EXPECT_EQ(window.calendar.cells[16].background, cell_colour::kToday);
  EXPECT_EQ(window.calendar.cells[17].background, cell_colour::kDay);
  EXPECT_EQ(window.caption, "2011年5月10日(火)  第19週");

  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);
  s.calendar.OnTrayEvent(TrayEvent::kLeftButtonDown);
  EXPECT_EQ(window.calendar.cells[16].background, cell_colour::kDay);
  EXPECT_EQ(window.calendar.cells[17].background, cell_colour::kToday);
  EXPECT_EQ(window.caption, "2011年5月11日(水)  第19週");
}

TEST(Menu, ItemsAndCommands) {
  std::vector<std::string> captions;
  for (const MenuItem& item : TrayCalendar::Menu()) captions.emplace_back(item.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"カレンダー(&C)", "-", "更新(&R)", "-", "設定(&O)",
                                                "バージョン情報(&A)", "-", "終了(&X)"}));

  Story s(At(2011, 5, 10, 13, 5));
  s.calendar.Start();
  s.desktop.tray.log.clear();
  (s.calendar.*TrayCalendar::Menu()[2].command)();  // 更新(&R)
  EXPECT_EQ(s.desktop.tray.log, (std::vector<std::string>{"delete 110", "add 110"}));
}

// A host that shows no tooltip gets the day icon's tooltip as the menu's first line, the
// next day's after midnight; one that shows tooltips gets none.
TEST(Menu, TheDayHeadsTheMenuWhereTheHostShowsNoTooltip) {
  Story s(At(2011, 1, 9, 23, 59, 30));
  s.Stored("Etc=1\n");
  s.desktop.tray.showsToolTips = false;
  s.calendar.Start();
  EXPECT_EQ(s.desktop.tray.menuHeading, s.Tooltip(110));
  s.desktop.Advance(kMinute);
  EXPECT_EQ(s.desktop.tray.menuHeading, s.Tooltip(110));
  EXPECT_TRUE(s.desktop.tray.menuHeading.starts_with("2011年1月10日(月) -成人の日-  第2週"));

  s.desktop.tray.showsToolTips = true;
  s.desktop.tray.Restart();
  EXPECT_EQ(s.desktop.tray.menuHeading, "");
}

TEST(Exit, RemovesExactlyTheIconsShown) {
  Story s(At(2011, 5, 10, 13, 5));
  s.Stored("Month=1\nTime=1\n");
  s.calendar.Start();
  s.calendar.ShowCalendar();
  s.desktop.tray.log.clear();
  s.calendar.Exit();
  EXPECT_EQ(s.desktop.tray.log,
            (std::vector<std::string>{"delete 100", "delete 110", "delete 140", "delete 150"}));
  EXPECT_TRUE(s.desktop.tray.icons.empty());
  EXPECT_FALSE(s.desktop.window.shown.visible);
  EXPECT_TRUE(s.desktop.window.closed);
}

TEST(Errors, AHandlerThatFailsShowsAMessageAndTheProgramGoesOn) {
  Story s(At(2011, 5, 10, 13, 5));
  s.calendar.Start();
  s.calendar.Guarded([] { throw DateTextError("no such date: 2011/2/30"); });
  EXPECT_EQ(s.desktop.window.errors, std::vector<std::string>{"no such date: 2011/2/30"});
  s.desktop.Advance(Millis(11 * 3600000));  // past midnight
  EXPECT_EQ(s.desktop.minuteTimer().ticks, 1);
}

}  // namespace
}  // namespace tsukio
