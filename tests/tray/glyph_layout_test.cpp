// Which strings the glyphs draw, where, in which face and size: through a painter that
// only records.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "tests/support/recording_painter.h"
#include "tray/glyphs.h"

namespace tsukio {
namespace {

struct Drawn {
  std::string text;
  int x, y, points;
};

std::vector<Drawn> DateRuns(std::string_view text, int dpi = 96) {
  testing::RecordingPainter painter;
  GlyphList list;
  AddDateGlyph(list, text, true, day_colour::kHoliday, {painter, dpi});
  EXPECT_EQ(list.size(), 1u);
  std::vector<Drawn> drawn;
  for (const TextRun& run : painter.runs) {
    EXPECT_EQ(run.face, "ＭＳ Ｐゴシック");
    EXPECT_TRUE(run.bold);
    EXPECT_EQ(run.colour, day_colour::kHoliday);
    EXPECT_EQ(run.dpi, std::min(dpi, 120));  // above 120 dpi, drawn as at 120
    drawn.push_back({run.text, run.x, run.y, run.pointSize});
  }
  return drawn;
}

std::vector<Drawn> TextRuns(std::string_view text, int dpi = 96) {
  testing::RecordingPainter painter;
  GlyphList list;
  AddTextGlyph(list, text, true, glyph_colour::kWeekNumber, {painter, dpi});
  EXPECT_EQ(list.size(), 1u);
  std::vector<Drawn> drawn;
  for (const TextRun& run : painter.runs) {
    EXPECT_EQ(run.face, "Arial");
    EXPECT_EQ(run.colour, glyph_colour::kWeekNumber);
    drawn.push_back({run.text, run.x, run.y, run.pointSize});
  }
  return drawn;
}

MATCHER_P(Runs, expected, "") {
  if (arg.size() != expected.size()) {
    *result_listener << arg.size() << " runs";
    return false;
  }
  for (std::size_t i = 0; i < arg.size(); ++i) {
    const Drawn& a = arg[i];
    const Drawn& e = expected[i];
    if (a.text != e.text || a.x != e.x || a.y != e.y || a.points != e.points) {
      *result_listener << "run " << i << " is \"" << a.text << "\" at (" << a.x << ", " << a.y
                       << ") " << a.points << " pt";
      return false;
    }
  }
  return true;
}

using V = std::vector<Drawn>;

TEST(DateGlyph, DigitsAndTheirPlaces) {
  EXPECT_THAT(DateRuns("1"), Runs(V{{"1", 5, 1, 11}}));
  EXPECT_THAT(DateRuns("7"), Runs(V{{"7", 4, 1, 11}}));
  EXPECT_THAT(DateRuns("11"), Runs(V{{"1", 2, 1, 11}, {"1", 7, 1, 11}}));
  EXPECT_THAT(DateRuns("10"), Runs(V{{"1", 1, 1, 11}, {"0", 6, 1, 11}}));
  EXPECT_THAT(DateRuns("19"), Runs(V{{"1", 1, 1, 11}, {"9", 6, 1, 11}}));
  EXPECT_THAT(DateRuns("20"), Runs(V{{"20", 1, 1, 11}, {"0", 8, 1, 11}}));
  EXPECT_THAT(DateRuns("31"), Runs(V{{"31", 1, 1, 11}, {"1", 8, 1, 11}}));
  // From 120 dpi the digits are 9 pt: 15 pixels, as 11 pt are at 96 dpi.
  EXPECT_THAT(DateRuns("1", 120), Runs(V{{"1", 5, 1, 9}}));
  EXPECT_THAT(DateRuns("12", 144), Runs(V{{"1", 1, 1, 9}, {"2", 6, 1, 9}}));
  EXPECT_THAT(DateRuns("23", 120), Runs(V{{"23", 1, 1, 9}, {"3", 8, 1, 9}}));
}

TEST(DateGlyph, WeekdayCharacters) {
  EXPECT_THAT(DateRuns("日"), Runs(V{{"日", 1, 2, 10}}));
  EXPECT_THAT(DateRuns("Sun"), Runs(V{{"日", 1, 2, 10}}));
  EXPECT_THAT(DateRuns("Sat"), Runs(V{{"土", 1, 2, 10}}));
  EXPECT_THAT(DateRuns("日", 120), Runs(V{{"日", 0, 2, 8}}));
  EXPECT_THAT(DateRuns("Sun", 120), Runs(V{{"日", 0, 2, 8}}));
  // Above 120 dpi both paths draw as at 120: 10 pt at 144 dpi would be 20 pixels high.
  EXPECT_THAT(DateRuns("水", 144), Runs(V{{"水", 0, 2, 8}}));
  EXPECT_THAT(DateRuns("Wed", 144), Runs(V{{"水", 0, 2, 8}}));
  // Anything longer that is no English abbreviation draws 不.
  EXPECT_THAT(DateRuns("sun"), Runs(V{{"不", 1, 2, 10}}));
  EXPECT_THAT(DateRuns("日曜"), Runs(V{{"不", 1, 2, 10}}));
  EXPECT_THAT(DateRuns("Sunday", 120), Runs(V{{"不", 0, 2, 8}}));
}

TEST(TextGlyph, NumbersAndStatusWords) {
  EXPECT_THAT(TextRuns("7"), Runs(V{{"7", 5, 3, 9}}));
  EXPECT_THAT(TextRuns("7", 120), Runs(V{{"7", 5, 2, 9}}));
  EXPECT_THAT(TextRuns("0"), Runs(V{{"0", 5, 3, 9}}));
  EXPECT_THAT(TextRuns("13"), Runs(V{{"1", 2, 3, 9}, {"3", 7, 3, 9}}));
  EXPECT_THAT(TextRuns("10"), Runs(V{{"1", 2, 3, 9}, {"0", 7, 3, 9}}));
  EXPECT_THAT(TextRuns("23"), Runs(V{{"2", 2, 3, 9}, {"3", 8, 3, 9}}));
  EXPECT_THAT(TextRuns("59", 144), Runs(V{{"5", 2, 2, 9}, {"9", 8, 2, 9}}));
  EXPECT_THAT(TextRuns("ok"), Runs(V{{"ok", 1, 2, 9}}));
  EXPECT_THAT(TextRuns("ok", 120), Runs(V{{"ok", 1, 1, 9}}));
  EXPECT_THAT(TextRuns("sv"), Runs(V{{"sv", 1, 2, 9}}));
  EXPECT_THAT(TextRuns("pc"), Runs(V{{"pc", 1, 2, 9}}));
}

TEST(ClockTexts, TwentyFourAndTwelveHours) {
  EXPECT_EQ(HourText(0, false), "0");
  EXPECT_EQ(HourText(13, false), "13");
  EXPECT_EQ(HourText(23, false), "23");
  EXPECT_EQ(HourText(0, true), "12");
  EXPECT_EQ(HourText(12, true), "12");
  EXPECT_EQ(HourText(13, true), "1");
  EXPECT_EQ(HourText(11, true), "11");
  EXPECT_EQ(MinuteText(5), "5");
  EXPECT_EQ(MinuteText(40), "40");
}

// The calendar page, typed again from the letter grid and its colour table.
TEST(BasePicture, MatchesTheLetterGrid) {
  const std::array<const char*, 16> grid = {
      "KaaaabpqbbbeefKK", "aabbbbqrebbbbefK", "abbbbbbeebbbbbfh", "ijjjjjjjjjjjjmmK",
      "WWWWWWWWWWWWWjmK", "WWWWWWWWWWWWWWjK", "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK",
      "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK", "WWWWWWWWWWWWWWWK",
      "WWWWWWWWWWWWWWiK", "WWWWWWWWWWWWWWjK", "WWWWWWWWWWWWijmK", "KhKKKKKKKKKKKKKK"};
  const std::string letters = "KWabefpqrhijm";
  const std::array<std::uint32_t, 13> colours = {0x000000, 0xFFFFFF, 0xFFC751, 0xFFAC36, 0xFF911B,
                                                 0xFF7500, 0xCCFF99, 0x99FF00, 0x33CC33, 0x666633,
                                                 0xF9FCFF, 0xF4F9FF, 0xEFF6FF};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const auto letter = letters.find(grid[static_cast<std::size_t>(y)][x]);
      ASSERT_NE(letter, std::string::npos);
      EXPECT_EQ(CalendarPage().at(x, y), colours[letter]) << "(" << x << ", " << y << ")";
    }
  }
}

}  // namespace
}  // namespace tsukio
