// The text painter with the fonts installed: what it remembers between runs, and characters
// the substituted faces lack.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/freetype/freetype_text_painter.h"
#include "tray/glyphs.h"

namespace tsukio {
namespace {

std::vector<std::uint32_t> Drawn(FreeTypeTextPainter& painter, const std::string& text) {
  Canvas canvas(16);
  canvas.Fill(0xFFFFFF);
  painter.Draw(canvas,
               TextRun{text, 1, 1, std::string(kDateFace), 11, true, Colour::FromRgb(0, 0, 0), 96});
  return canvas.rgb;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t from = 0, to; (to = text.find('\n', from)) != std::string::npos; from = to + 1) {
    lines.push_back(text.substr(from, to - from + 1));
  }
  return lines;
}

TEST(FreeTypeTextPainter, RememberedFontsDrawLikeFontconfigsUntilItSaysOtherwise) {
  FreeTypeTextPainter asked;
  const auto expected = Drawn(asked, "水1");
  const std::string choices = asked.ChoicesText();
  const std::vector<std::string> lines = Lines(choices);
  ASSERT_EQ(lines.size(), 2u) << choices;  // Liberation Sans for the digit, IPAPGothic

  FreeTypeTextPainter remembering;
  remembering.Remember(choices);
  EXPECT_EQ(Drawn(remembering, "水1"), expected);
  EXPECT_FALSE(remembering.Confirm());
  EXPECT_EQ(remembering.ChoicesText(), choices);

  // A file that has gone, and lines that are not choices: fontconfig answers at once.
  FreeTypeTextPainter stale;
  const std::size_t fileAt = kDateFace.size() + 3;  // after the face and "\t1\t"
  const std::string file = lines[0].substr(fileAt, lines[0].rfind('\t') - fileAt);
  std::string gone = choices;
  gone.replace(gone.find(file), file.size(), "/nowhere/gone.ttf");
  stale.Remember(gone + "\n\t\t\t\nArial\t2\tx\t0\nArial\t1\t" + file + "\t-1\n");
  EXPECT_EQ(Drawn(stale, "水1"), expected);
  EXPECT_FALSE(stale.Confirm());
  EXPECT_EQ(stale.ChoicesText(), choices);

  // The kanji font alone, as if the other had been installed since: drawn in until
  // fontconfig is asked, and then its answer.
  FreeTypeTextPainter outdated;
  outdated.Remember(lines[1]);
  EXPECT_NE(Drawn(outdated, "水1"), expected);
  EXPECT_TRUE(outdated.Confirm());
  EXPECT_EQ(Drawn(outdated, "水1"), expected);
  EXPECT_EQ(outdated.ChoicesText(), choices);
}

// Georgian is in neither substitute but in DejaVu Sans; U+0378 is in no font, so it is drawn
// as the missing-glyph box.
TEST(FreeTypeTextPainter, CharactersTheFacesLackComeFromAFontThatHasThem) {
  FreeTypeTextPainter painter;
  EXPECT_NE(Drawn(painter, "\u10D0"), Drawn(painter, "\u0378"));
}

}  // namespace
}  // namespace tsukio
