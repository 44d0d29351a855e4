// tsukio-cal snapshot: pictures of the main window's client area in each of its views.
#include "app/tsukio-cal/arguments.h"
#include "app/tsukio-cal/commands/commands.h"
#include "app/tsukio-cal/commands/picture_folder.h"
#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "calwindow/month_grid.h"

namespace tsukio::cal {

namespace chr = std::chrono;

namespace {

// The options panel as a first start shows it: nothing ticked, so every control that
// depends on a box is disabled.
OptionsPanel FirstStartPanel() {
  OptionsPanel p;
  p.weekRule.enabled = false;
  p.autoUpdateLabel.enabled = p.autoUpdateField.enabled = p.autoUpdateArrows.enabled = false;
  p.timeMethodLabel.enabled = p.ntpChoice.enabled = p.httpChoice.enabled = false;
  p.ntpLabel.enabled = p.httpLabel.enabled = p.proxyLabel.enabled = false;
  p.ntpServerField.enabled = p.httpServerField.enabled = p.proxyServerField.enabled = false;
  return p;
}

}  // namespace

int SnapshotCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream&,
                    const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("snapshot", args, {"--out", "--weeks", "--date"});
  ExpectYearAndMonthOrNeither("snapshot", parsed);
  if (!parsed.out || parsed.out->empty()) throw UsageError("snapshot: --out DIR is required");
  const chr::year_month_day today = Today(parsed, env);
  const chr::year_month shown = ShownMonth(parsed, today);
  if (env.window == nullptr) throw OutputError("snapshot: drawing is not available here");

  const WeekScheme scheme = parsed.weeks.value_or(WeekScheme::kIso);
  const DateTexts texts = FormatDateTexts(today);
  const DayMark mark = TrayDayMark(texts.year, texts.month, texts.day);
  MainWindowModel model;
  model.visible = true;
  model.calendar =
      BuildMonthGrid(shown, today, scheme, MonthGridOptions{parsed.weeks.has_value(), true});

  const PictureFolder folder(*parsed.out, env.window->Files(), out);
  model.options = FirstStartPanel();
  const auto write = [&](std::string_view name, View view, std::string caption) {
    model.view = view;
    model.options.shown = view == View::kOptions;
    model.caption = std::move(caption);
    folder.Write(name, env.window->ClientArea(model));
  };
  write("calendar.png", View::kCalendar,
        BuildDateTip(texts, mark.name, WeekNumber(today, scheme),
                     AlmanacText(texts.year, texts.month, texts.day)));
  write("options.png", View::kOptions, "設定");
  write("about.png", View::kAbout, "バージョン情報");
  return 0;
}

}  // namespace tsukio::cal
