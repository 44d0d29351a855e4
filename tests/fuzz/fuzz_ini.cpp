// The settings file's round trip as the program makes it: parse, read every key, save the
// thirteen keys as 決定 does, and parse again. Nothing the save did not mean to change may
// change: every other line comes back byte for byte and in order, and every key reads back
// as written.
#include <array>
#include <cctype>
#include <vector>
#include <string>
#include <string_view>

#include "settings/ini_profile.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using tsukio::IniProfile;
using tsukio::fuzz::Check;

constexpr std::string_view kSection = "Pageleaf";
constexpr std::array<std::string_view, 13> kKeys = {
    "Month", "Week",      "Time",       "Number",      "12h",      "Etc",      "AutoTime",
    "Auto",  "ntpServer", "httpServer", "proxyServer", "ntpSetup", "httpSetup"};
constexpr std::array<std::string_view, 13> kValues = {
    "1", "0", "1", "2", "0", "1", "300", "1", "ntp.example.jp", "www.example.jp/", "", "0", "2"};

struct Line {
  std::string_view text;  // with its ending
  std::string_view body;  // without
};

std::vector<Line> Lines(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view body = text.substr(0, end == std::string_view::npos ? text.size() : end);
    if (end != std::string_view::npos && body.ends_with('\r')) body.remove_suffix(1);
    lines.push_back({text.substr(0, length), body});
    text.remove_prefix(length);
  }
  return lines;
}

// A line the save may rewrite: one whose name before "=" is one of our keys.
bool MayBeRewritten(std::string_view body) {
  const auto equals = body.find('=');
  if (equals == std::string_view::npos) return false;
  std::string_view name = body.substr(0, equals);
  const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
  while (!name.empty() && space(name.front())) name.remove_prefix(1);
  while (!name.empty() && space(name.back())) name.remove_suffix(1);
  for (const std::string_view key : kKeys) {
    if (name.size() != key.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < key.size() && same; ++i) {
      same = std::tolower(static_cast<unsigned char>(name[i])) ==
             std::tolower(static_cast<unsigned char>(key[i]));
    }
    if (same) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  IniProfile file(original);
  Check(file.Text() == original, "an untouched file does not come back byte for byte");
  for (const std::string_view key : kKeys) {
    (void)file.ReadString(kSection, key);
    (void)file.ReadInteger(kSection, key, -1);
  }
  for (std::size_t i = 0; i < kKeys.size(); ++i) file.Write(kSection, kKeys[i], kValues[i]);
  const std::string saved = file.Text();

  const IniProfile again(saved);
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    Check(again.ReadString(kSection, kKeys[i]) == std::string(kValues[i]),
          "a key does not read back as it was written");
  }
  Check(again.Text() == saved, "a saved file does not come back byte for byte");

  // Every line of the original that is not one of our keys is in the saved file, in order,
  // byte for byte; a last line without an ending may have gained one.
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  std::string_view before = original;
  std::string_view after = saved;
  if (before.starts_with(kBom)) {
    Check(after.starts_with(kBom), "the byte-order mark was lost");
    before.remove_prefix(kBom.size());
    after.remove_prefix(kBom.size());
  }
  const std::vector<Line> old = Lines(before);
  const std::vector<Line> now = Lines(after);
  std::size_t at = 0;
  for (std::size_t i = 0; i < old.size(); ++i) {
    if (MayBeRewritten(old[i].body)) continue;
    const bool unended = i + 1 == old.size() && old[i].text == old[i].body;
    const auto kept = [&](const Line& line) {
      return unended ? line.text.starts_with(old[i].text) : line.text == old[i].text;
    };
    while (at < now.size() && !kept(now[at])) ++at;
    Check(at < now.size(), "a line the save had no business with was lost or moved");
    ++at;
  }
  return 0;
}
