#include "calendar/almanac.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <unordered_map>
#include <vector>

#include "calendar/date_text.h"
#include "resources/resources.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

constexpr std::array<std::string_view, 6> kRokuyo = {"　先勝", "　友引", "　先負",
                                                     "　仏滅", "　大安", "　赤口"};

constexpr std::string_view kIdeographicSpace = "　";

// By position in the "seki=" line.
constexpr std::array<std::string_view, 24> kSolarTerms = {
    "　小寒", "　大寒", "　立春", "　雨水", "　啓蟄", "　春分", "　清明", "　穀雨",
    "　立夏", "　小満", "　芒種", "　夏至", "　小暑", "　大暑", "　立秋", "　処暑",
    "　白露", "　秋分", "　寒露", "　霜降", "　立冬", "　小雪", "　大雪", "　冬至"};

// The equinoxes get no tooltip text: the holiday lookup already names those days.
constexpr bool IsEquinox(std::size_t position) {
  return position == 5 || position == 17;
}

struct Section {
  std::string seki;  // 24 groups MMDD
  std::string roku;  // groups MMDDk
};

std::string_view StripCr(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::string WithoutFirst(std::string_view line, std::string_view key) {
  std::string text(line);
  if (const auto at = text.find(key); at != std::string::npos) text.erase(at, key.size());
  return text;
}

class AlmanacTable {
 public:
  explicit AlmanacTable(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      lines.push_back(StripCr(text.substr(start, end - start)));
      start = end + 1;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string_view line = lines[i];
      if (line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
      const std::string_view label = line.substr(1, line.size() - 2);
      if (sections_.contains(label)) continue;  // the first section of a year wins
      Section& section = sections_[label];
      if (i + 1 < lines.size()) section.seki = WithoutFirst(lines[i + 1], "seki=");
      if (i + 2 < lines.size()) section.roku = WithoutFirst(lines[i + 2], "roku=");
    }
  }

  const Section* Find(std::string_view year) const {
    const auto it = sections_.find(year);
    return it == sections_.end() ? nullptr : &it->second;
  }

 private:
  // Keys point into the table text, which outlives the table.
  std::unordered_map<std::string_view, Section> sections_;
};

const AlmanacTable& CompiledTable() {
  static const AlmanacTable table(resources::AlmanacTable());
  return table;
}

int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

AlmanacEntry LookUp(const Section* section, std::string_view year, std::string_view month,
                    std::string_view day) {
  const chr::year_month_day date = DateFromTexts(year, month, day);
  if (section == nullptr) return {};

  // MMDD, compared as text: zero-padded four digits order like the dates they name.
  std::string key;
  key.reserve(4);
  if (month.size() == 1) key += '0';
  key += month;
  if (day.size() == 1) key += '0';
  key += day;

  const std::string_view roku = section->roku;
  const std::string_view seki = section->seki;
  AlmanacEntry entry;
  for (std::size_t n = roku.size() / 5; n-- > 0;) {
    const std::string_view group = roku.substr(n * 5, 5);
    const std::string_view anchor = group.substr(0, 4);
    if (anchor > key) continue;
    const int mm = Digits(anchor.substr(0, 2));
    const int dd = Digits(anchor.substr(2, 2));
    const int k = Digits(group.substr(4, 1));
    if (mm < 1 || dd < 1) break;
    const chr::year_month_day anchorDate{date.year(), chr::month(static_cast<unsigned>(mm)),
                                         chr::day(static_cast<unsigned>(dd))};
    if (!anchorDate.ok()) break;
    const auto elapsed = (chr::sys_days{date} - chr::sys_days{anchorDate}).count();
    if (k >= 0 && k <= 5) {
      entry.rokuyo = kRokuyo[static_cast<std::size_t>((k + elapsed) % 6)];
      entry.rokuyoName = entry.rokuyo.substr(kIdeographicSpace.size());
    }
    break;
  }

  for (std::size_t i = 0; i < kSolarTerms.size() && (i + 1) * 4 <= seki.size(); ++i) {
    if (seki.substr(i * 4, 4) == key) {
      if (!IsEquinox(i)) entry.solarTerm = kSolarTerms[i];
      entry.solarTermName = kSolarTerms[i].substr(kIdeographicSpace.size());
      break;
    }
  }
  return entry;
}

}  // namespace

AlmanacEntry LookUpAlmanac(std::string_view year, std::string_view month, std::string_view day) {
  return LookUp(CompiledTable().Find(year), year, month, day);
}

AlmanacEntry LookUpAlmanacIn(std::string_view table, std::string_view year, std::string_view month,
                             std::string_view day) {
  const AlmanacTable parsed(table);
  return LookUp(parsed.Find(year), year, month, day);
}

std::string AlmanacText(std::string_view year, std::string_view month, std::string_view day) {
  const AlmanacEntry entry = LookUpAlmanac(year, month, day);
  std::string text;
  text.reserve(entry.rokuyo.size() + entry.solarTerm.size());
  text += entry.rokuyo;
  text += entry.solarTerm;
  return text;
}

}  // namespace tsukio
