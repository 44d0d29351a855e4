#include "calendar/almanac.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

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

constexpr std::uint8_t kNone = 0xFF;

// A year's answers by day of the year, worked out from the section's text at its first use.
struct DayIndex {
  std::array<std::uint8_t, 366> rokuyo;     // index into kRokuyo, or kNone
  std::array<std::uint8_t, 366> solarTerm;  // position in the "seki=" line, or kNone
};

struct Section {
  std::string seki;  // 24 groups MMDD
  std::string roku;  // groups MMDDk
  std::once_flag indexing;
  DayIndex days{};
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
    Index();
  }

  // The section labelled with the year's four digits; none outside the table.
  Section* Find(chr::year year) {
    const int value = static_cast<int>(year);
    if (value < firstYear_ || value >= firstYear_ + static_cast<int>(byYear_.size()))
      return nullptr;
    return byYear_[static_cast<std::size_t>(value - firstYear_)];
  }

 private:
  void Index() {
    int low = 10000, high = -1;
    for (const auto& [label, section] : sections_) {
      if (const int y = FourDigitYear(label); y >= 0) {
        low = std::min(low, y);
        high = std::max(high, y);
      }
    }
    if (high < 0) return;
    firstYear_ = low;
    byYear_.assign(static_cast<std::size_t>(high - low + 1), nullptr);
    for (auto& [label, section] : sections_) {
      if (const int y = FourDigitYear(label); y >= 0)
        byYear_[static_cast<std::size_t>(y - low)] = &section;
    }
  }
  static int FourDigitYear(std::string_view label) {
    if (label.size() != 4) return -1;
    int value = 0;
    for (char c : label) {
      if (c < '0' || c > '9') return -1;
      value = value * 10 + (c - '0');
    }
    return value;
  }

  // Keys point into the table text, which outlives the table.
  std::unordered_map<std::string_view, Section> sections_;
  std::vector<Section*> byYear_;
  int firstYear_ = 0;
};

AlmanacTable& CompiledTable() {
  static AlmanacTable table(resources::AlmanacTable());
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

AlmanacEntry LookUp(const Section* section, chr::year_month_day date) {
  if (section == nullptr) return {};

  // MMDD, compared as text: zero-padded four digits order like the dates they name.
  const auto month = static_cast<unsigned>(date.month());
  const auto day = static_cast<unsigned>(date.day());
  const std::string key{static_cast<char>('0' + month / 10), static_cast<char>('0' + month % 10),
                        static_cast<char>('0' + day / 10), static_cast<char>('0' + day % 10)};

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

AlmanacEntry EntryOf(std::uint8_t rokuyo, std::uint8_t term) {
  AlmanacEntry entry;
  if (rokuyo != kNone) {
    entry.rokuyo = kRokuyo[rokuyo];
    entry.rokuyoName = entry.rokuyo.substr(kIdeographicSpace.size());
  }
  if (term != kNone) {
    if (!IsEquinox(term)) entry.solarTerm = kSolarTerms[term];
    entry.solarTermName = kSolarTerms[term].substr(kIdeographicSpace.size());
  }
  return entry;
}

std::uint8_t RokuyoIndex(std::string_view text) {
  for (std::size_t k = 0; k < kRokuyo.size(); ++k) {
    if (kRokuyo[k] == text) return static_cast<std::uint8_t>(k);
  }
  return kNone;
}

std::uint8_t TermPosition(std::string_view name) {
  for (std::size_t i = 0; i < kSolarTerms.size(); ++i) {
    if (kSolarTerms[i].substr(kIdeographicSpace.size()) == name)
      return static_cast<std::uint8_t>(i);
  }
  return kNone;
}

// Every day of the section's year looked up once by the text rules, so later lookups are an
// index: the rules stay in one place and the answers cannot drift from them.
void IndexDays(Section& section, chr::year y) {
  const chr::sys_days first{y / 1 / 1};
  section.days.rokuyo.fill(kNone);
  section.days.solarTerm.fill(kNone);
  for (chr::sys_days d = first; d < chr::sys_days{(y + chr::years{1}) / 1 / 1}; d += chr::days{1}) {
    const AlmanacEntry entry = LookUp(&section, chr::year_month_day{d});
    const auto n = static_cast<std::size_t>((d - first).count());
    section.days.rokuyo[n] = RokuyoIndex(entry.rokuyo);
    section.days.solarTerm[n] = TermPosition(entry.solarTermName);
  }
}

}  // namespace

AlmanacEntry LookUpAlmanac(chr::year_month_day date) {
  Section* section = CompiledTable().Find(date.year());
  if (section == nullptr) return {};
  std::call_once(section->indexing, [&] { IndexDays(*section, date.year()); });
  const auto n =
      static_cast<std::size_t>((chr::sys_days{date} - chr::sys_days{date.year() / 1 / 1}).count());
  return EntryOf(section->days.rokuyo[n], section->days.solarTerm[n]);
}

AlmanacEntry LookUpAlmanacIn(std::string_view table, chr::year_month_day date) {
  AlmanacTable parsed(table);
  return LookUp(parsed.Find(date.year()), date);
}

std::string AlmanacText(chr::year_month_day date) {
  const AlmanacEntry entry = LookUpAlmanac(date);
  std::string text;
  text.reserve(entry.rokuyo.size() + entry.solarTerm.size());
  text += entry.rokuyo;
  text += entry.solarTerm;
  return text;
}

}  // namespace tsukio
