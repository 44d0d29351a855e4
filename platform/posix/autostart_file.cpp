#include "platform/posix/autostart_file.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/settings_file.h"

namespace tsukio {

namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A desktop-file string value: backslashes and control characters written as escapes.
std::string StringValue(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The program as one argument of an Exec line: quoted when the path holds a character the
// line would otherwise read as a separator or a shell character, and with every % doubled,
// since a single one starts a field code.
std::string ExecArgument(std::string_view path) {
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string argument;
  if (path.find_first_of(kReserved) == std::string_view::npos) {
    argument = path;
  } else {
    argument = "\"";
    for (const char c : path) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') argument += '\\';
      argument += c;
    }
    argument += '"';
  }
  std::string exec;
  for (const char c : argument) exec += c == '%' ? std::string("%%") : std::string(1, c);
  return StringValue(exec);
}

}  // namespace

std::string AutostartFilePath() {
  return ConfigHome() + "/autostart/tsukio.desktop";
}

// The menu entry starts the program by name from PATH. At login that would be whatever
// `tsukio` PATH finds first, or nothing for a copy outside PATH, so the login entry names
// the very executable the user ticked the box in; TryExec makes the desktop skip the entry
// quietly once that file is gone.
std::string AutostartEntry(std::string_view menuEntry, const std::string& executable) {
  const std::string program = executable.empty() ? std::string("tsukio") : executable;
  std::istringstream lines{std::string(menuEntry)};
  std::string out;
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    const std::string_view key =
        equals == std::string::npos ? "" : Trim(std::string_view(line).substr(0, equals));
    if (key == "Exec") {
      line = "Exec=" + ExecArgument(program);
    } else if (key == "TryExec") {
      line = "TryExec=" + StringValue(program);
    }
    out += line + "\n";
  }
  return out;
}

// A desktop's own session settings may turn an entry off by marking it rather than by
// deleting it; such an entry is there, but the program is not started.
bool AutostartFile::Exists() const {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path_, error)) return false;
  std::ifstream file(path_);
  if (!file) return false;
  bool mainGroup = false;
  for (std::string raw; std::getline(file, raw);) {
    const std::string_view line = Trim(raw);
    if (line.starts_with('[')) {
      mainGroup = line == "[Desktop Entry]";
      continue;
    }
    const auto equals = line.find('=');
    if (!mainGroup || equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = Trim(line.substr(equals + 1));
    if (key == "Hidden" && value == "true") return false;
    if (key == "X-GNOME-Autostart-enabled" && value == "false") return false;
  }
  return true;
}

bool AutostartFile::Enable() {
  MakeParentFolders(path_);
  return ReplaceFileAtomically(path_, entry_).ok;
}

bool AutostartFile::Disable() {
  return ::unlink(path_.c_str()) == 0 || errno == ENOENT;
}

}  // namespace tsukio
