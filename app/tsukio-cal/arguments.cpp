#include "app/tsukio-cal/arguments.h"

#include <algorithm>

#include "calendar/date_text.h"

namespace tsukio::cal {

namespace chr = std::chrono;

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
        name == "--dry-run" || name == "--almanac" || name == "--follow") {
      if (equals != std::string::npos) throw UsageError(name + " takes no value");
      if (name == "--12h") parsed.twelveHour = true;
      if (name == "--no-color") parsed.noColour = true;
      if (name == "--system-proxy") parsed.systemProxy = true;
      if (name == "--dry-run") parsed.dryRun = true;
      if (name == "--almanac") parsed.almanac = true;
      if (name == "--follow") parsed.follow = true;
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

chr::year_month_day Today(const Arguments& parsed, const CalEnvironment& env) {
  return parsed.date ? *parsed.date : env.clock.Now().date;
}

void ExpectYearAndMonthOrNeither(const std::string& command, const Arguments& parsed) {
  ExpectPositional(command, parsed, 0, 2);
  if (parsed.positional.size() == 1)
    throw UsageError(command + ": give both YEAR and MONTH, or neither");
}

chr::year_month ShownMonth(const Arguments& parsed, chr::year_month_day today) {
  if (parsed.positional.empty()) return today.year() / today.month();
  return chr::year{ParseYear(parsed.positional[0])} /
         chr::month{static_cast<unsigned>(ParseNumber(parsed.positional[1], 1, 12, "month"))};
}

DayRange ParseDayRange(const std::string& command, const std::vector<std::string>& args) {
  const Arguments parsed = ParseArguments(command, args, {});
  ExpectPositional(command, parsed, 1, 2);
  const chr::sys_days from{ParseDate(parsed.positional[0])};
  const chr::sys_days to =
      parsed.positional.size() > 1 ? chr::sys_days{ParseDate(parsed.positional[1])} : from;
  if (to < from) throw UsageError(command + ": TO is before FROM");
  return {from, to};
}

}  // namespace tsukio::cal
