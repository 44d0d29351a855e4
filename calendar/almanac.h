#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tsukio {

// A day's almanac entries: its rokuyō and, on the first day of a solar term, the term.
// `rokuyo` and `solarTerm` begin with an ideographic space, ready to be appended to a
// tooltip; any may be empty (years outside the table have none).
struct AlmanacEntry {
  std::string_view rokuyo;
  std::string_view solarTerm;      // none for the equinoxes: the holiday names those days
  std::string_view rokuyoName;     // the rokuyō's bare name ("大安")
  std::string_view solarTermName;  // the term's bare name ("春分"), equinoxes included
};

// Looks the day (a calendar day, `ok()`) up in the compiled-in almanac table.
AlmanacEntry LookUpAlmanac(std::chrono::year_month_day date);

// The rokuyō text followed by the solar-term text, e.g. "　仏滅　立春"; empty outside the table.
std::string AlmanacText(std::chrono::year_month_day date);

// The same lookup over a table given as text, for checking table data before it is compiled in.
AlmanacEntry LookUpAlmanacIn(std::string_view table, std::chrono::year_month_day date);

}  // namespace tsukio
