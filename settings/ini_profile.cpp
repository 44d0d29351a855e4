#include "settings/ini_profile.h"

#include <cctype>
#include <climits>

namespace tsukio {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLf = "\n";
constexpr std::size_t kNone = std::string::npos;

std::string_view Trim(std::string_view text) {
  const auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
  };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && (line.front() == ';' || line.front() == '#');
}

}  // namespace

std::optional<int> ParseIniInteger(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

IniProfile::IniProfile(std::string_view text) {
  if (text.starts_with(kBom)) {
    bom_ = true;
    text.remove_prefix(kBom.size());
  }
  std::size_t crlfCount = 0;
  std::size_t lfCount = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
    std::string_view ending;
    if (end == std::string_view::npos) {
      end = text.size();
    } else if (line.ends_with('\r')) {
      line.remove_suffix(1);
      ending = kCrLf;
      ++crlfCount;
    } else {
      ending = kLf;
      ++lfCount;
    }
    lines_.push_back({std::string(line), ending});
    start = end + 1;
  }
  if (crlfCount > lfCount) newLineEnd_ = kCrLf;
}

IniProfile::Found IniProfile::Find(std::string_view section, std::string_view key) const {
  Found found{kNone, kNone};
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const std::string& line = lines_[i].text;
    const auto name = SectionName(line);
    if (found.sectionLine == kNone) {
      if (name && SameName(*name, section)) found.sectionLine = i;
      continue;
    }
    if (name) break;  // the end of the first section of that name
    if (IsComment(line)) continue;
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (SameName(Trim(std::string_view(line).substr(0, equals)), key)) {
      found.keyLine = i;
      break;
    }
  }
  return found;
}

std::optional<std::string> IniProfile::ReadString(std::string_view section,
                                                  std::string_view key) const {
  const Found found = Find(section, key);
  if (found.keyLine == kNone) return std::nullopt;
  const std::string& line = lines_[found.keyLine].text;
  std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

int IniProfile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const auto text = ReadString(section, key);
  if (!text) return fallback;
  return ParseIniInteger(*text).value_or(fallback);
}

void IniProfile::Write(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + std::string(value);
  const Found found = Find(section, key);
  if (found.keyLine != kNone) {
    lines_[found.keyLine].text = std::move(line);
    return;
  }
  if (found.sectionLine == kNone) {
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) Append(std::string());
    // Appended piece by piece: GCC 12 at -O3 sees `"[" + std::string(...)` as an overlapping
    // copy (-Wrestrict), a known false alarm.
    std::string header;
    header.reserve(section.size() + 2);
    header.append("[").append(section).append("]");
    Append(std::move(header));
    Append(std::move(line));
    return;
  }
  // After the section's last line that is not blank, so the blank line before the next
  // section stays where it was.
  std::size_t end = found.sectionLine + 1;
  while (end < lines_.size() && !SectionName(lines_[end].text)) ++end;
  std::size_t at = end;
  while (at > found.sectionLine + 1 && Trim(lines_[at - 1].text).empty()) --at;
  if (at == lines_.size()) {
    Append(std::move(line));
    return;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(line), newLineEnd_});
}

// A last line without an ending gets one only now that a line follows it.
void IniProfile::Append(std::string text) {
  if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = newLineEnd_;
  lines_.push_back({std::move(text), newLineEnd_});
}

std::string IniProfile::Text() const {
  std::string text = bom_ ? std::string(kBom) : std::string();
  for (const Line& line : lines_) {
    text += line.text;
    text += line.end;
  }
  return text;
}

}  // namespace tsukio
