// tsukio-cal icons: the pictures the tray would show for a date and time, as PNG files and a
// contact sheet.
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "app/tsukio-cal/commands/picture_folder.h"
#include "calendar/weeks.h"
#include "tray/glyphs.h"
#include "tray/tray_icons.h"

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
  // The tray's own row with every icon shown, then the status icon in each of its outcomes.
  const RowChoices everything{
      true, true, true, parsed.twelveHour, true, true, parsed.weeks.value_or(WeekScheme::kIso),
      true};
  std::vector<std::pair<std::string, Glyph>> pictures;
  for (TrayIcon& icon : BuildTrayRow(LocalDateTime{date, hour, minute}, everything, context)) {
    pictures.emplace_back(NameOfTrayIcon(icon.id).key, std::move(icon.picture));
  }
  for (const SyncResult result : {SyncOk, SyncServerFailed, SyncSetFailed}) {
    const SyncStatus status = StatusOf(result, SyncSettings{});
    pictures.emplace_back(status.word, SyncStatusIcon(status, context).picture);
  }

  const PictureFolder folder(*parsed.out, env.icons->Files(), out);
  GlyphList sheet;
  for (const auto& [name, glyph] : pictures) {
    folder.Write(name + ".png", GlyphImage(glyph));
    for (const Image& larger : glyph.larger) {
      folder.Write(name + "-" + std::to_string(larger.width) + ".png", larger);
    }
    sheet.push_back(glyph);
  }
  folder.Write("sheet.png", ContactSheet(sheet, 6, 8));
  return 0;
}

}  // namespace tsukio::cal
