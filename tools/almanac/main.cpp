// Writes the almanac table for a range of years, or lists the instants it is made from.
//
//   tsukio-almanac FIRST [LAST]            the table's sections, as resources/almanac.txt holds
//   tsukio-almanac --events FIRST [LAST]   every solar term and new moon, in JST to the second
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/almanac/ephemeris.h"
#include "tools/almanac/lunisolar.h"

namespace {

namespace chr = std::chrono;
using namespace tsukio::almanac;

constexpr int kMinYear = 1000;
constexpr int kMaxYear = 3000;

int Usage() {
  std::cerr << "usage: tsukio-almanac [--events] FIRST [LAST]   (years " << kMinYear << " to "
            << kMaxYear << ")\n";
  return 2;
}

bool ParseYear(const std::string& text, int& year) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  year = std::stoi(text);
  return year >= kMinYear && year <= kMaxYear;
}

// "2017-02-26 23:58:31.6" in JST, for a UT Julian date; cut, not rounded, to the tenth of a
// second, so that an instant just before midnight never shows as the next day.
std::string JstTimestamp(double jdUt) {
  const chr::sys_days day = JstDay(jdUt);
  const double seconds = (jdUt - 2440587.5 + 9.0 / 24.0 - day.time_since_epoch().count()) * 86400;
  const auto tenths = static_cast<long>(std::floor(seconds * 10));
  const chr::year_month_day date{day};
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02ld.%ld",
                static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), tenths / 36000, tenths / 600 % 60,
                tenths / 10 % 60, tenths % 10);
  return text;
}

void ListEvents(const Almanac& almanac) {
  const chr::sys_days first{chr::year{almanac.firstYear} / chr::January / 1};
  const chr::sys_days last{chr::year{almanac.lastYear} / chr::December / 31};
  struct Row {
    double jd;
    std::string what;
  };
  std::vector<Row> rows;
  for (const SolarTerm& term : almanac.terms) {
    if (term.day >= first && term.day <= last) {
      rows.push_back({term.jdUt, "term " + std::to_string(term.longitude)});
    }
  }
  for (const NewMoon& moon : almanac.newMoons) {
    if (moon.day >= first && moon.day <= last) rows.push_back({moon.jdUt, "new-moon"});
  }
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.jd < b.jd; });
  for (const Row& row : rows) {
    char delta[16];
    std::snprintf(delta, sizeof delta, "%.1f", DeltaTSeconds(row.jd));
    std::cout << JstTimestamp(row.jd) << '\t' << row.what << "\tdT=" << delta << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool events = false;
  if (!args.empty() && args.front() == "--events") {
    events = true;
    args.erase(args.begin());
  }
  int first = 0;
  int last = 0;
  if (args.empty() || args.size() > 2 || !ParseYear(args[0], first)) return Usage();
  last = first;
  if (args.size() == 2 && !ParseYear(args[1], last)) return Usage();
  if (last < first) return Usage();
  try {
    const Almanac almanac = ComputeAlmanac(first, last);
    if (events) {
      ListEvents(almanac);
    } else {
      std::cout << FormatSections(almanac);
    }
  } catch (const std::exception& e) {
    std::cerr << "tsukio-almanac: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
