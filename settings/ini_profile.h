#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tsukio {

// An INI file as text, kept line by line so that writing a key changes that line only:
// every other line, comment, blank and key order stays as the user left it.
// Section and key names match without regard to case; the first section and the first key of
// a name win. Each line keeps its own ending (LF, CR LF, or none on a last line) byte for
// byte; a line the program adds takes the ending most of the file uses. A UTF-8 byte-order
// mark is kept.
class IniProfile {
 public:
  IniProfile() = default;
  explicit IniProfile(std::string_view text);

  // The value as written, trimmed, and without one pair of surrounding quotes.
  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  // A decimal integer, or hexadecimal after "0x" or "$"; anything else gives `fallback`.
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;

  // Replaces the key's line in place, or adds the key at the end of its section, or the
  // section with the key at the end of the file.
  void Write(std::string_view section, std::string_view key, std::string_view value);

  std::string Text() const;

 private:
  struct Found {
    std::size_t sectionLine;  // the "[name]" line; npos when the section is absent
    std::size_t keyLine;      // npos when the key is absent
  };
  Found Find(std::string_view section, std::string_view key) const;

  struct Line {
    std::string text;  // without its ending; a CR before CR LF belongs to the text
    std::string_view end;
  };
  void Append(std::string text);

  std::vector<Line> lines_;
  std::string_view newLineEnd_ = "\n";
  bool bom_ = false;
};

// Reads "123", "-5", "0x1F", "$1f"; nullopt for anything else or out of int range.
std::optional<int> ParseIniInteger(std::string_view text);

}  // namespace tsukio
