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
  EnableDependentControls(p);
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
  write("calendar.png", View::kCalendar, DayTip(today, scheme, true));
  write("options.png", View::kOptions, std::string(kOptionsCaption));
  write("about.png", View::kAbout, std::string(kAboutCaption));
  return 0;
}

}  // namespace tsukio::cal
