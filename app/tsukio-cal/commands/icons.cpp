// tsukio-cal icons: the pictures the tray would show for a date and time, as PNG files and a
// contact sheet.
#include <array>

#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "app/tsukio-cal/commands/picture_folder.h"
#include "calendar/date_text.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "tray/glyphs.h"

namespace tsukio::cal {

namespace chr = std::chrono;

int IconsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                 const CalEnvironment& env) {
  const Arguments parsed =
      ParseArguments("icons", args, {"--time", "--dpi", "--weeks", "--12h", "--out", "--date"});
  ExpectPositional("icons", parsed, 0, 1);
  if (!parsed.out || parsed.out->empty()) throw UsageError("icons: --out DIR is required");
  const chr::year_month_day date =
      parsed.positional.empty() ? Today(parsed, env) : ParseDate(parsed.positional[0]);
  const LocalDateTime now = env.clock.Now();
  const auto [hour, minute] = parsed.time.value_or(std::pair{now.hour, now.minute});
  if (env.icons == nullptr) throw OutputError("icons: drawing is not available here");

  const GlyphContext context{env.icons->Painter(), parsed.dpi.value_or(96), kLargerTraySizes};
  const DateTexts texts = FormatDateTexts(date);
  const DayMark mark = TrayDayMark(texts.year, texts.month, texts.day);
  const int week = WeekNumber(date, parsed.weeks.value_or(WeekScheme::kIso));
  GlyphList glyphs;
  AddDateGlyph(glyphs, texts.month, true, mark.colour, context);
  AddDateGlyph(glyphs, texts.day, true, mark.colour, context);
  AddDateGlyph(glyphs, texts.weekday, true, mark.colour, context);
  AddTextGlyph(glyphs, HourText(hour, parsed.twelveHour), true, glyph_colour::kClock, context);
  AddTextGlyph(glyphs, MinuteText(minute), true, glyph_colour::kClock, context);
  AddTextGlyph(glyphs, std::to_string(week), true, glyph_colour::kWeekNumber, context);
  AddTextGlyph(glyphs, "ok", true, glyph_colour::kSyncOk, context);
  AddTextGlyph(glyphs, "sv", true, glyph_colour::kSyncFailed, context);
  AddTextGlyph(glyphs, "pc", true, glyph_colour::kSyncFailed, context);

  const PictureFolder folder(*parsed.out, env.icons->Files(), out);
  constexpr std::array<std::string_view, 9> kNames = {"month", "day", "weekday", "hour", "minute",
                                                      "week",  "ok",  "sv",      "pc"};
  const auto write = [&](const std::string& name, const Image& image) {
    folder.Write(name, image);
  };
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    write(std::string(kNames[i]) + ".png", GlyphImage(glyphs[i]));
    for (const Image& larger : glyphs[i].larger) {
      write(std::string(kNames[i]) + "-" + std::to_string(larger.width) + ".png", larger);
    }
  }
  write("sheet.png", ContactSheet(glyphs, 6, 8));
  return 0;
}

}  // namespace tsukio::cal
