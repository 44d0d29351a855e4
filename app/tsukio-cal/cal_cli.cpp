#include "app/tsukio-cal/cal_cli.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "calendar/almanac.h"
#include "calendar/date_text.h"
#include "calendar/date_tip.h"
#include "calendar/holidays.h"
#include "calendar/weeks.h"
#include "calwindow/month_grid.h"
#include "timesync/sync_run.h"
#include "tray/glyphs.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

constexpr std::string_view kUsage =
    "Usage: tsukio-cal COMMAND [ARGS]\n"
    "\n"
    "Japanese calendar knowledge from the terminal: holidays, day colours, rokuyō and\n"
    "solar terms, week numbers. Dates are YYYY-MM-DD, years 1 to 9999.\n"
    "\n"
    "Commands:\n"
    "  today [--weeks iso|usa] [--date DATE]\n"
    "      The day icon's tooltip for today: date, holiday, week number, almanac.\n"
    "  month [YEAR MONTH] [--weeks iso|usa] [--no-color] [--date DATE]\n"
    "      A month grid, Sunday first, today marked [ ], with the month's holidays below.\n"
    "      --weeks adds a week-number column. Colour only on a terminal.\n"
    "  days FROM [TO]\n"
    "      One tab-separated line per day: date, weekday, holiday, colour (0x00BBGGRR),\n"
    "      ISO week, USA week, almanac text.\n"
    "  almanac FROM [TO]\n"
    "      One tab-separated line per day: date, rokuyō, the solar term that begins that\n"
    "      day (the equinoxes included). Both are empty outside 1900 to 2100.\n"
    "  holidays YEAR [LASTYEAR]\n"
    "      Every named day of the years, substitute holidays included: DATE<TAB>NAME.\n"
    "      Holidays follow the law as it stood each year. There are none before\n"
    "      1948-07-20, when the holiday law took effect, and no equinox day after 2150.\n"
    "  icons [DATE] --out DIR [--time HH:MM] [--dpi 96|120|144] [--weeks iso|usa] [--12h]\n"
    "      The tray's 16 x 16 pictures for that day and time as PNG files (month, day,\n"
    "      weekday, hour, minute, week, ok, sv, pc) and sheet.png, all of them enlarged.\n"
    "  snapshot [YEAR MONTH] --out DIR [--weeks iso|usa] [--date DATE]\n"
    "      Pictures of the main window as PNG files: calendar.png (that month, today\n"
    "      marked; --weeks adds the week-number column), options.png and about.png.\n"
    "  sync (--ntp HOST[:PORT] | --http URL [--proxy HOST:PORT | --system-proxy]) [--dry-run]\n"
    "      Asks the time server as the tray does and sets the clock from its answer;\n"
    "      with --dry-run only prints what it would set. Prints outcome: 0 set, 1 no\n"
    "      usable answer, 2 not set; then the answer's local-time and its offset from\n"
    "      this machine's clock.\n"
    "\n"
    "Options:\n"
    "  --date DATE   take DATE as today\n"
    "  --help        show this help\n"
    "  --version     show the version\n"
    "\n"
    "Exit status: 0 on success, 2 for bad input, 1 when output cannot be written or\n"
    "sync's outcome is not 0.\n";

// Bad input: reported as one line and exit status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The command was right but its output could not be made: exit status 1.
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Arguments {
  std::vector<std::string> positional;
  std::optional<WeekScheme> weeks;
  std::optional<chr::year_month_day> date;
  bool noColour = false;
  bool twelveHour = false;
  std::optional<std::pair<int, int>> time;
  std::optional<int> dpi;
  std::optional<std::string> out;
  std::optional<std::string> ntp;
  std::optional<std::string> http;
  std::optional<std::string> proxy;
  bool systemProxy = false;
  bool dryRun = false;
};

chr::year_month_day ParseDate(const std::string& text) {
  const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-';
  bool digits = shaped;
  for (std::size_t i = 0; digits && i < text.size(); ++i) {
    if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9')) digits = false;
  }
  if (!digits) throw UsageError("invalid date \"" + text + "\" (expected YYYY-MM-DD)");
  const int year = std::stoi(text.substr(0, 4));
  if (year < kMinYear) throw UsageError("invalid date \"" + text + "\": years run from 1 to 9999");
  try {
    return MakeDate(year, std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2)));
  } catch (const DateTextError&) {
    throw UsageError("invalid date \"" + text + "\": no such day");
  }
}

int ParseNumber(const std::string& text, int low, int high, std::string_view what) {
  bool digits = !text.empty() && text.size() <= 5;
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  const int value = digits ? std::stoi(text) : -1;
  if (value < low || value > high) {
    throw UsageError("invalid " + std::string(what) + " \"" + text + "\" (expected " +
                     std::to_string(low) + " to " + std::to_string(high) + ")");
  }
  return value;
}

int ParseYear(const std::string& text) {
  return ParseNumber(text, kMinYear, kMaxYear, "year");
}

std::pair<int, int> ParseTime(const std::string& text) {
  const auto colon = text.find(':');
  const bool shaped =
      colon != std::string::npos && colon >= 1 && colon <= 2 && text.size() == colon + 3;
  bool digits = shaped;
  for (std::size_t i = 0; digits && i < text.size(); ++i) {
    if (i != colon && (text[i] < '0' || text[i] > '9')) digits = false;
  }
  const int hour = digits ? std::stoi(text.substr(0, colon)) : -1;
  const int minute = digits ? std::stoi(text.substr(colon + 1)) : -1;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
    throw UsageError("invalid time \"" + text + "\" (expected HH:MM, 00:00 to 23:59)");
  }
  return {hour, minute};
}

int ParseDpi(const std::string& text) {
  if (text == "96" || text == "120" || text == "144") return std::stoi(text);
  throw UsageError("invalid dpi \"" + text + "\" (expected 96, 120 or 144)");
}

WeekScheme ParseScheme(const std::string& text) {
  if (text == "iso") return WeekScheme::kIso;
  if (text == "usa") return WeekScheme::kUsa;
  throw UsageError("invalid week scheme \"" + text + "\" (expected iso or usa)");
}

// Options may stand anywhere after the command, as "--opt VALUE" or "--opt=VALUE".
Arguments ParseArguments(const std::string& command, const std::vector<std::string>& args,
                         std::initializer_list<std::string_view> allowed) {
  Arguments parsed;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      parsed.positional.push_back(arg);
      continue;
    }
    const auto equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
      throw UsageError("unknown option \"" + name + "\" for " + command);
    }
    if (name == "--no-color" || name == "--12h" || name == "--system-proxy" ||
        name == "--dry-run") {
      if (equals != std::string::npos) throw UsageError(name + " takes no value");
      if (name == "--12h") parsed.twelveHour = true;
      if (name == "--no-color") parsed.noColour = true;
      if (name == "--system-proxy") parsed.systemProxy = true;
      if (name == "--dry-run") parsed.dryRun = true;
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      throw UsageError(name + " needs a value");
    }
    if (name == "--weeks") parsed.weeks = ParseScheme(value);
    if (name == "--date") parsed.date = ParseDate(value);
    if (name == "--time") parsed.time = ParseTime(value);
    if (name == "--dpi") parsed.dpi = ParseDpi(value);
    if (name == "--out") parsed.out = value;
    if (name == "--ntp") parsed.ntp = value;
    if (name == "--http") parsed.http = value;
    if (name == "--proxy") parsed.proxy = value;
  }
  return parsed;
}

void ExpectPositional(const std::string& command, const Arguments& parsed, std::size_t least,
                      std::size_t most) {
  const std::size_t n = parsed.positional.size();
  if (n < least) throw UsageError(command + ": missing argument");
  if (n > most)
    throw UsageError(command + ": unexpected argument \"" + parsed.positional[most] + "\"");
}

std::string ColourHex(Colour colour) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(colour.bgr));
  return text;
}

struct DayRange {
  chr::sys_days from;
  chr::sys_days to;
};

// FROM [TO], the days a listing command covers.
DayRange ParseDayRange(const std::string& command, const std::vector<std::string>& args) {
  const Arguments parsed = ParseArguments(command, args, {});
  ExpectPositional(command, parsed, 1, 2);
  const chr::sys_days from{ParseDate(parsed.positional[0])};
  const chr::sys_days to =
      parsed.positional.size() > 1 ? chr::sys_days{ParseDate(parsed.positional[1])} : from;
  if (to < from) throw UsageError(command + ": TO is before FROM");
  return {from, to};
}

int Days(const std::vector<std::string>& args, std::ostream& out) {
  const auto [from, to] = ParseDayRange("days", args);
  for (chr::sys_days day = from; day <= to; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DateTexts texts = FormatDateTexts(date);
    const DayMark mark = TrayDayMark(texts.year, texts.month, texts.day);
    out << IsoDateText(date) << '\t' << texts.weekday << '\t' << mark.name << '\t'
        << ColourHex(mark.colour) << '\t' << WeekNumber(date, WeekScheme::kIso) << '\t'
        << WeekNumber(date, WeekScheme::kUsa) << '\t'
        << AlmanacText(texts.year, texts.month, texts.day) << '\n';
  }
  return 0;
}

int AlmanacDays(const std::vector<std::string>& args, std::ostream& out) {
  const auto [from, to] = ParseDayRange("almanac", args);
  for (chr::sys_days day = from; day <= to; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DateTexts texts = FormatDateTexts(date);
    const AlmanacEntry entry = LookUpAlmanac(texts.year, texts.month, texts.day);
    out << IsoDateText(date) << '\t' << entry.rokuyoName << '\t' << entry.solarTermName << '\n';
  }
  return 0;
}

int Holidays(const std::vector<std::string>& args, std::ostream& out) {
  const Arguments parsed = ParseArguments("holidays", args, {});
  ExpectPositional("holidays", parsed, 1, 2);
  const int first = ParseYear(parsed.positional[0]);
  const int last = parsed.positional.size() > 1 ? ParseYear(parsed.positional[1]) : first;
  if (last < first) throw UsageError("holidays: LASTYEAR is before YEAR");

  const chr::sys_days end{chr::year{last} / chr::December / 31};
  for (chr::sys_days day{chr::year{first} / chr::January / 1}; day <= end; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DateTexts texts = FormatDateTexts(date);
    const DayMark mark = TrayDayMark(texts.year, texts.month, texts.day);
    if (mark.IsHoliday()) out << IsoDateText(date) << '\t' << mark.name << '\n';
  }
  return 0;
}

chr::year_month_day Today(const Arguments& parsed, const CalEnvironment& env) {
  return parsed.date ? *parsed.date : env.clock.Now().date;
}

int TodayCommand(const std::vector<std::string>& args, std::ostream& out,
                 const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("today", args, {"--weeks", "--date"});
  ExpectPositional("today", parsed, 0, 0);
  const chr::year_month_day today = Today(parsed, env);
  const DateTexts texts = FormatDateTexts(today);
  const DayMark mark = TrayDayMark(texts.year, texts.month, texts.day);
  out << BuildDateTip(texts, mark.name, WeekNumber(today, parsed.weeks.value_or(WeekScheme::kIso)),
                      AlmanacText(texts.year, texts.month, texts.day))
      << '\n';
  return 0;
}

// ANSI colours for the terminal grid, by the day's colour.
std::string_view AnsiFor(Colour colour) {
  if (colour == day_colour::kHoliday) return "\x1b[35m";
  if (colour == day_colour::kSunday) return "\x1b[31m";
  if (colour == day_colour::kSaturday) return "\x1b[34m";
  return {};
}
constexpr std::string_view kAnsiReset = "\x1b[0m";

int Month(const std::vector<std::string>& args, std::ostream& out, const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("month", args, {"--weeks", "--date", "--no-color"});
  ExpectPositional("month", parsed, 0, 2);
  if (parsed.positional.size() == 1)
    throw UsageError("month: give both YEAR and MONTH, or neither");
  const chr::year_month_day today = Today(parsed, env);
  const chr::year_month shown = parsed.positional.empty()
                                    ? today.year() / today.month()
                                    : chr::year{ParseYear(parsed.positional[0])} /
                                          chr::month{static_cast<unsigned>(
                                              ParseNumber(parsed.positional[1], 1, 12, "month"))};
  const bool colour = env.colourTerminal && !parsed.noColour;
  const auto paint = [&](std::string_view text, Colour c) {
    const std::string_view ansi = colour ? AnsiFor(c) : std::string_view{};
    if (ansi.empty()) return std::string(text);
    return std::string(ansi) + std::string(text) + std::string(kAnsiReset);
  };

  // Each cell is four columns wide; the weekday names are double-width characters.
  const int year = static_cast<int>(shown.year());
  const unsigned month = static_cast<unsigned>(shown.month());
  const std::string title = std::to_string(year) + "年" + std::to_string(month) + "月";
  const std::size_t titleColumns = std::to_string(year).size() + std::to_string(month).size() + 4;
  out << std::string((28 - titleColumns) / 2, ' ') << title << '\n';
  for (unsigned wd = 0; wd < 7; ++wd) {
    const Colour c = wd == 0   ? day_colour::kSunday
                     : wd == 6 ? day_colour::kSaturday
                               : day_colour::kWeekday;
    out << ' ' << paint(WeekdayText(chr::weekday{wd}), c) << ' ';
  }
  if (parsed.weeks) out << " 週";
  out << '\n';

  // The calendar window's grid, printed row by row; rows without a day of the month are left out.
  const MonthGrid grid =
      BuildMonthGrid(shown, today, parsed.weeks.value_or(WeekScheme::kIso), MonthGridOptions{});
  for (int row = 1; row <= 6; ++row) {
    const auto cell = [&](int column) -> const CalendarCell& {
      return grid.cells[static_cast<std::size_t>(row * 7 + column)];
    };
    bool holdsTheMonth = false;
    for (int column = 0; column < 7; ++column)
      holdsTheMonth = holdsTheMonth || cell(column).showHint;
    if (!holdsTheMonth) continue;
    for (int column = 0; column < 7; ++column) {
      const CalendarCell& day = cell(column);
      if (!day.showHint) {  // a day of another month
        out << "    ";
        continue;
      }
      char number[4];
      std::snprintf(number, sizeof number, "%2s", day.caption.c_str());
      const bool isToday = day.background == cell_colour::kToday;
      out << (isToday ? '[' : ' ') << paint(number, day.text) << (isToday ? ']' : ' ');
    }
    if (parsed.weeks) {
      char week[8];
      std::snprintf(week, sizeof week, " %2s",
                    grid.cells[kFirstWeekCell + row - 1].caption.c_str());
      out << week;
    }
    out << '\n';
  }

  std::vector<std::pair<chr::year_month_day, DayMark>> named;
  for (chr::sys_days day{shown / 1}; day <= chr::sys_days{shown / chr::last}; day += chr::days{1}) {
    const chr::year_month_day date{day};
    const DateTexts texts = FormatDateTexts(date);
    const DayMark mark = TrayDayMark(texts.year, texts.month, texts.day);
    if (mark.IsHoliday()) named.emplace_back(date, mark);
  }
  if (!named.empty()) out << '\n';
  for (const auto& [date, mark] : named) {
    char day[8];
    std::snprintf(day, sizeof day, "%2u", static_cast<unsigned>(date.day()));
    out << day << "日(" << WeekdayText(chr::weekday{chr::sys_days{date}}) << ") "
        << paint(mark.name, mark.colour) << '\n';
  }
  return 0;
}

// The folder a drawing command writes its PNG files into, made if needed; each path written
// is printed.
class PictureFolder {
 public:
  PictureFolder(const std::string& dir, ImageFiles& files, std::ostream& out)
      : dir_(dir), files_(files), out_(out) {
    std::error_code error;
    std::filesystem::create_directories(dir_, error);
    if (error) throw OutputError("cannot create " + dir_.string() + ": " + error.message());
  }
  void Write(std::string_view name, const Image& image) const {
    const std::string path = (dir_ / name).string();
    const std::string failure = files_.WritePng(path, image);
    if (!failure.empty()) throw OutputError("cannot write " + path + ": " + failure);
    out_ << path << '\n';
  }

 private:
  std::filesystem::path dir_;
  ImageFiles& files_;
  std::ostream& out_;
};

// The icons the tray would show for a date and time, as PNG files and a contact sheet.
int Icons(const std::vector<std::string>& args, std::ostream& out, const CalEnvironment& env) {
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

// Pictures of the main window's client area in each of its views.
int Snapshot(const std::vector<std::string>& args, std::ostream& out, const CalEnvironment& env) {
  const Arguments parsed = ParseArguments("snapshot", args, {"--out", "--weeks", "--date"});
  ExpectPositional("snapshot", parsed, 0, 2);
  if (parsed.positional.size() == 1)
    throw UsageError("snapshot: give both YEAR and MONTH, or neither");
  if (!parsed.out || parsed.out->empty()) throw UsageError("snapshot: --out DIR is required");
  const chr::year_month_day today = Today(parsed, env);
  const chr::year_month shown = parsed.positional.empty()
                                    ? today.year() / today.month()
                                    : chr::year{ParseYear(parsed.positional[0])} /
                                          chr::month{static_cast<unsigned>(
                                              ParseNumber(parsed.positional[1], 1, 12, "month"))};
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

// HOST or HOST:PORT with a port from 1 to 65535.
bool IsHostAndPort(std::string_view text, bool portRequired) {
  const auto colon = text.find(':');
  if (text.empty() || colon == 0) return false;
  if (colon == std::string_view::npos) return !portRequired;
  const std::string_view port = text.substr(colon + 1);
  bool digits = !port.empty() && port.size() <= 5;
  for (char c : port) digits = digits && c >= '0' && c <= '9';
  const int number = digits ? std::stoi(std::string(port)) : 0;
  return number >= 1 && number <= 65535;
}

bool IsWebUrl(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (url.starts_with(scheme) && url.size() > scheme.size() && url[scheme.size()] != '/') {
      return true;
    }
  }
  return false;
}

// Stands in for the clock setter: notes this machine's time when the answer's time is set,
// and passes it on to the real setter unless this is a dry run.
class MeasuringSetter final : public ClockSetter {
 public:
  MeasuringSetter(const UtcClock& clock, ClockSetter* real) : clock_(clock), real_(real) {}
  std::string SetUtc(UtcTime utc) override {
    machineTime = clock_.Now();
    return real_ != nullptr ? real_->SetUtc(utc) : std::string();
  }
  std::optional<UtcTime> machineTime;

 private:
  const UtcClock& clock_;
  ClockSetter* real_;
};

std::string LocalTimeText(const LocalTimestamp& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d.%03d",
                static_cast<int>(t.date.year()), static_cast<unsigned>(t.date.month()),
                static_cast<unsigned>(t.date.day()), t.hour, t.minute, t.second, t.millisecond);
  return text;
}

std::string OffsetText(chr::milliseconds offset) {
  const long long ms = offset.count();
  const long long size = ms < 0 ? -ms : ms;
  char text[48];
  std::snprintf(text, sizeof text, "%c%lld.%03lld s", ms < 0 ? '-' : '+', size / 1000, size % 1000);
  return text;
}

int Sync(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const CalEnvironment& env) {
  const Arguments parsed =
      ParseArguments("sync", args, {"--ntp", "--http", "--proxy", "--system-proxy", "--dry-run"});
  ExpectPositional("sync", parsed, 0, 0);
  if (parsed.ntp && parsed.http) throw UsageError("sync: give --ntp or --http, not both");
  if (!parsed.ntp && !parsed.http) throw UsageError("sync: --ntp HOST[:PORT] or --http URL needed");
  if (parsed.ntp && (parsed.proxy || parsed.systemProxy)) {
    throw UsageError("sync: --proxy and --system-proxy go with --http only");
  }
  if (parsed.proxy && parsed.systemProxy) {
    throw UsageError("sync: give --proxy or --system-proxy, not both");
  }
  SyncSettings settings;
  if (parsed.ntp) {
    if (!IsHostAndPort(*parsed.ntp, false)) {
      throw UsageError("invalid server \"" + *parsed.ntp + "\" (expected HOST or HOST:PORT)");
    }
    settings.ntpSetup = 1;
    settings.ntpServer = *parsed.ntp;
  } else {
    if (!IsWebUrl(*parsed.http)) {
      throw UsageError("invalid URL \"" + *parsed.http + "\" (expected http://HOST/...)");
    }
    if (parsed.proxy && !IsHostAndPort(*parsed.proxy, true)) {
      throw UsageError("invalid proxy \"" + *parsed.proxy + "\" (expected HOST:PORT)");
    }
    settings.httpSetup = parsed.proxy ? 2 : parsed.systemProxy ? 3 : 1;
    settings.httpServer = *parsed.http;
    if (parsed.proxy) settings.proxyServer = "http://" + *parsed.proxy;
  }
  if (env.sync == nullptr) throw OutputError("sync: the network is not available here");

  SyncServices& real = env.sync->Services();
  MeasuringSetter setter(real.clock, parsed.dryRun ? nullptr : &real.setter);
  SyncServices services{real.udp, real.http, real.ticks, real.clock, setter, real.ntpWait};
  const SyncReport report = SynchronizeClock(settings, services);

  out << "outcome: " << static_cast<int>(report.result) << '\n';
  if (report.local) out << "local-time: " << LocalTimeText(*report.local) << '\n';
  if (report.time && setter.machineTime) {
    out << "offset: " << OffsetText(*report.time - *setter.machineTime) << '\n';
  }
  if (report.result == SyncSetFailed && !report.setError.empty()) {
    err << "tsukio-cal: the clock was not set: " << report.setError << '\n';
  }
  return report.result == SyncOk ? 0 : 1;
}

}  // namespace

int RunCal(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CalEnvironment& env) {
  try {
    if (args.empty()) throw UsageError("missing command (try --help)");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
      out << kUsage;
      return 0;
    }
    if (command == "--version") {
      out << "tsukio-cal " TSUKIO_VERSION "\n";
      return 0;
    }
    for (const std::string& arg : args) {
      if (arg == "--help" || arg == "-h") {
        out << kUsage;
        return 0;
      }
    }
    if (command == "days") return Days(args, out);
    if (command == "almanac") return AlmanacDays(args, out);
    if (command == "holidays") return Holidays(args, out);
    if (command == "today") return TodayCommand(args, out, env);
    if (command == "month") return Month(args, out, env);
    if (command == "icons") return Icons(args, out, env);
    if (command == "snapshot") return Snapshot(args, out, env);
    if (command == "sync") return Sync(args, out, err, env);
    throw UsageError("unknown command \"" + command + "\" (try --help)");
  } catch (const UsageError& e) {
    err << "tsukio-cal: " << e.what() << '\n';
    return 2;
  } catch (const OutputError& e) {
    err << "tsukio-cal: " << e.what() << '\n';
    return 1;
  }
}

}  // namespace tsukio
