#include "app/tsukio-cal/cal_cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/fake_clock.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

struct CalRun {
  int code;
  std::string out;
  std::string err;
};

CalRun Cal(std::vector<std::string> args, bool terminal = false,
           chr::year_month_day today = chr::year{2011} / 5 / 10) {
  const testing::FakeClock clock({today, 9, 30, 0});
  std::ostringstream out, err;
  const int code = RunCal(args, out, err, CalEnvironment{clock, terminal});
  return {code, out.str(), err.str()};
}

TEST(TsukioCal, DaysAcrossGoldenWeek2019) {
  const CalRun r = Cal({"days", "2019-04-28", "2019-05-07"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "2019-04-28\t日\t\t0x0000FF\t17\t18\t　友引\n"
            "2019-04-29\t月\t昭和の日\t0xFF00FF\t18\t18\t　先負\n"
            "2019-04-30\t火\t国民の休日\t0xFF00FF\t18\t18\t　仏滅\n"
            "2019-05-01\t水\t天皇の即位の日\t0xFF00FF\t18\t18\t　大安\n"
            "2019-05-02\t木\t国民の休日\t0xFF00FF\t18\t18\t　赤口\n"
            "2019-05-03\t金\t憲法記念日\t0xFF00FF\t18\t18\t　先勝\n"
            "2019-05-04\t土\tみどりの日\t0xFF00FF\t18\t18\t　友引\n"
            "2019-05-05\t日\tこどもの日\t0xFF00FF\t18\t19\t　仏滅\n"  // the 4th month
            "2019-05-06\t月\t振替休日\t0xFF00FF\t19\t19\t　大安　立夏\n"
            "2019-05-07\t火\t\t0x0F0000\t19\t19\t　赤口\n");
}

TEST(TsukioCal, DaysCarriesAlmanacAndExaminedMonday) {
  const CalRun r = Cal({"days", "2009-02-02", "2009-02-04"});
  EXPECT_EQ(r.out,
            "2009-02-02\t月\t\t0x010000\t6\t6\t　友引\n"
            "2009-02-03\t火\t\t0x0F0000\t6\t6\t　先負\n"
            "2009-02-04\t水\t\t0x0F0000\t6\t6\t　仏滅　立春\n");
}

TEST(TsukioCal, AlmanacListsRokuyoAndSolarTerms) {
  const CalRun r = Cal({"almanac", "2026-12-06", "2026-12-09"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "2026-12-06\t先勝\t\n"
            "2026-12-07\t友引\t大雪\n"
            "2026-12-08\t先負\t\n"
            "2026-12-09\t大安\t\n");  // the 11th month begins
  // The equinoxes are named here, though the tooltip leaves them to the holiday.
  EXPECT_EQ(Cal({"almanac", "2026-03-20"}).out, "2026-03-20\t先負\t春分\n");
  EXPECT_EQ(Cal({"almanac", "2026-09-23"}).out, "2026-09-23\t友引\t秋分\n");
  // The table's edges, and a year the command accepts but the table never covers.
  EXPECT_EQ(Cal({"almanac", "1899-12-31", "1900-01-01"}).out,
            "1899-12-31\t\t\n1900-01-01\t赤口\t\n");
  EXPECT_EQ(Cal({"almanac", "2100-12-31", "2101-01-01"}).out,
            "2100-12-31\t赤口\t\n2101-01-01\t\t\n");
  EXPECT_EQ(Cal({"almanac", "0001-01-01"}).out, "0001-01-01\t\t\n");
}

// The columns in their order, the leap month's 閏 from the 2033 rule, and the table's first
// and last days, which a range check off by one would refuse.
TEST(TsukioCal, KoyomiPrintsOneLineADay) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"koyomi", "2033-12-21", "2033-12-22"},
       "2033-12-21\t11月30日\t大\t仏滅\t丙午\t29.1\t冬至\t\t\n"
       "2033-12-22\t閏11月1日\t小\t大安\t丁未\t0.3\t\t新月\t\n"},
      {{"koyomi", "2026-07-20"}, "2026-07-20\t6月7日\t大\t赤口\t乙未\t5.7\t\t\t土用入り\n"},
      {{"koyomi", "1900-01-01"}, "1900-01-01\t12月1日\t大\t赤口\t甲戌\t29.1\t\t新月\t\n"},
      {{"koyomi", "2100-12-31"}, "2100-12-31\t12月1日\t小\t赤口\t丁未\t0.1\t\t新月\t\n"},
  };
  for (const auto& c : cases) {
    const CalRun r = Cal(c.args);
    EXPECT_EQ(r.code, 0) << c.args[1];
    EXPECT_EQ(r.out, c.out);
  }
}

TEST(TsukioCal, HolidaysOf2026UnderTheCurrentLaw) {
  const CalRun r = Cal({"holidays", "2026"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "2026-01-01\t元日\n"
            "2026-01-12\t成人の日\n"
            "2026-02-11\t建国記念の日\n"
            "2026-02-23\t天皇誕生日\n"
            "2026-03-20\t春分の日\n"
            "2026-04-29\t昭和の日\n"
            "2026-05-03\t憲法記念日\n"
            "2026-05-04\tみどりの日\n"
            "2026-05-05\tこどもの日\n"
            "2026-05-06\t振替休日\n"
            "2026-07-20\t海の日\n"
            "2026-08-11\t山の日\n"
            "2026-09-21\t敬老の日\n"
            "2026-09-22\t休日\n"
            "2026-09-23\t秋分の日\n"
            "2026-10-12\tスポーツの日\n"
            "2026-11-03\t文化の日\n"
            "2026-11-23\t勤労感謝の日\n");
}

TEST(TsukioCal, HolidaysOverSeveralYears) {
  const CalRun r = Cal({"holidays", "2020", "2021"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("2020-07-24\tスポーツの日\n"), std::string::npos);
  EXPECT_NE(r.out.find("2021-08-09\t振替休日\n"), std::string::npos);
  EXPECT_EQ(r.out.find("2020-10-12"), std::string::npos);
  EXPECT_EQ(Cal({"holidays", "9999"}).code, 0);
}

TEST(TsukioCal, TodayIsTheDayIconsTooltip) {
  EXPECT_EQ(Cal({"today"}).out, "2011年5月10日(火)  第19週　大安　旧4月8日　乙丑\n");
  EXPECT_EQ(Cal({"today", "--weeks", "usa"}).out,
            "2011年5月10日(火)  第20週　大安　旧4月8日　乙丑\n");
  EXPECT_EQ(Cal({"today", "--date=2012-01-02"}).out,
            "2012年1月2日(月) -振替休日-  第1週　友引　旧12月9日　壬戌\n");
  EXPECT_EQ(Cal({"today", "--date", "2026-12-09"}).out,
            "2026年12月9日(水)  第50週　大安　旧11月1日　丁巳\n");
  EXPECT_EQ(Cal({"today", "--date", "2101-01-03"}).out, "2101年1月3日(月)  第1週\n");
}

TEST(TsukioCal, MonthGridPlain) {
  const CalRun r = Cal({"month", "--weeks", "iso"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "         2011年5月\n"
            " 日  月  火  水  木  金  土  週\n"
            "  1   2   3   4   5   6   7  18\n"
            "  8   9 [10] 11  12  13  14  19\n"
            " 15  16  17  18  19  20  21  20\n"
            " 22  23  24  25  26  27  28  21\n"
            " 29  30  31                  22\n"
            "\n"
            " 3日(火) 憲法記念日\n"
            " 4日(水) みどりの日\n"
            " 5日(木) こどもの日\n");
}

TEST(TsukioCal, MonthGridOtherMonthAndColour) {
  const CalRun january = Cal({"month", "2012", "1", "--weeks=usa"});
  EXPECT_NE(january.out.find("  1   2   3   4   5   6   7   1\n"), std::string::npos)
      << january.out;
  EXPECT_NE(january.out.find(" 2日(月) 振替休日\n"), std::string::npos);
  EXPECT_EQ(january.out.find('['), std::string::npos);  // today is not in January 2012

  const CalRun coloured = Cal({"month", "2011", "5"}, true);
  EXPECT_NE(coloured.out.find("\x1b[35m 3\x1b[0m"), std::string::npos);  // a holiday
  EXPECT_NE(coloured.out.find("\x1b[31m 1\x1b[0m"), std::string::npos);  // a Sunday
  EXPECT_NE(coloured.out.find("\x1b[34m 7\x1b[0m"), std::string::npos);  // a Saturday
  EXPECT_NE(coloured.out.find("[10]"), std::string::npos);
  EXPECT_EQ(Cal({"month", "2011", "5", "--no-color"}, true).out.find('\x1b'), std::string::npos);

  // The first and last months that exist.
  EXPECT_EQ(Cal({"month", "1", "1"}).code, 0);
  EXPECT_EQ(Cal({"month", "9999", "12", "--weeks", "iso"}).code, 0);
}

TEST(TsukioCal, HelpAndVersion) {
  const CalRun help = Cal({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("Usage: tsukio-cal"), std::string::npos);
  EXPECT_EQ(Cal({"month", "--help"}).out, help.out);
  EXPECT_EQ(Cal({"--version"}).out.rfind("tsukio-cal ", 0), 0u);
}

TEST(TsukioCal, BadInputIsOneLineAndExitTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"yesterday"},
      {"days"},
      {"days", "2011-02-30"},
      {"days", "2011-2-3"},
      {"days", "0000-01-01"},
      {"days", "2011-05-03", "2011-05-01"},
      {"days", "2011-05-03", "2011-05-04", "2011-05-05"},
      {"holidays", "0"},
      {"holidays", "10000"},
      {"holidays", "2026x"},
      {"holidays", "2027", "2026"},
      {"today", "--weeks", "jp"},
      {"today", "--weeks"},
      {"today", "extra"},
      {"today", "--no-color"},
      {"month", "2011"},
      {"month", "2011", "13"},
      {"month", "2011", "0"},
      {"month", "--date", "2011-13-01"},
      {"days", "--weeks", "iso", "2011-01-01"},
      {"almanac"},
      {"almanac", "2026-02-29"},
      {"almanac", "2026-12-02", "2026-12-01"},
      {"almanac", "2026-12-01", "2026-12-02", "2026-12-03"},
      {"almanac", "2026-12-01", "--date", "2026-12-01"},
      {"koyomi"},
      {"koyomi", "2026-02-29"},
      {"koyomi", "2026-12-02", "2026-12-01"},
      {"koyomi", "1899-12-31", "1900-01-01"},
      {"koyomi", "2100-12-31", "2101-01-01"},
  };
  for (const auto& args : bad) {
    const CalRun r = Cal(args);
    std::string line;
    for (const auto& a : args) line += a + " ";
    EXPECT_EQ(r.code, 2) << line;
    EXPECT_EQ(r.out, "") << line;
    EXPECT_EQ(r.err.rfind("tsukio-cal: ", 0), 0u) << line << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << line << ": " << r.err;
  }
  EXPECT_EQ(Cal({"days", "2011-02-30"}).err,
            "tsukio-cal: invalid date \"2011-02-30\": no such day\n");
  EXPECT_EQ(Cal({"almanac", "2026-12-02", "2026-12-01"}).err,
            "tsukio-cal: almanac: TO is before FROM\n");
  EXPECT_EQ(Cal({"koyomi", "2101-01-01"}).err,
            "tsukio-cal: koyomi: dates must lie within 1900-01-01 to 2100-12-31\n");
}

}  // namespace
}  // namespace tsukio
