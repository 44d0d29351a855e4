// tsukio-cal for Windows: the same commands and output bytes as on Linux, UTF-8 throughout.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/tsukio-cal/cal_cli.h"
#include "platform/null_window_input.h"
#include "platform/win32/gdi_text_painter.h"
#include "platform/win32/png_file.h"
#include "platform/win32/win32_day_wait.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"

namespace {

class Win32IconTools final : public tsukio::IconTools {
 public:
  tsukio::TextPainter& Painter() override { return painter_; }
  tsukio::ImageFiles& Files() override { return files_; }

 private:
  tsukio::GdiTextPainter painter_;
  tsukio::Win32ImageFiles files_;
};

class Win32WindowPictures final : public tsukio::WindowPictures {
 public:
  tsukio::Image ClientArea(const tsukio::MainWindowModel& model) override {
    if (!window_) window_ = std::make_unique<tsukio::Win32MainWindow>(input_);
    return window_->Picture(model);
  }
  tsukio::ImageFiles& Files() override { return files_; }

 private:
  tsukio::NullWindowInput input_;
  std::unique_ptr<tsukio::Win32MainWindow> window_;
  tsukio::Win32ImageFiles files_;
};

// The network and the clocks, made for the one command that asks a time server.
class Win32SyncTools final : public tsukio::SyncTools {
 public:
  tsukio::SyncServices& Services() override {
    if (!parts_) parts_ = std::make_unique<Parts>();
    return parts_->services;
  }

 private:
  struct Parts {
    tsukio::Win32DatagramNetwork udp;
    tsukio::WinInetHttpClient http;
    tsukio::Win32TickCounter ticks;
    tsukio::Win32UtcClock clock;
    tsukio::Win32ClockSetter setter;
    tsukio::SyncServices services{udp, http, ticks, clock, setter};
  };
  std::unique_ptr<Parts> parts_;
};

// The arguments as the user typed them, whatever the ANSI code page.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(tsukio::Narrow(wide[i]));
  LocalFree(wide);
  return args;
}

// A console shows UTF-8 once told to, and colours once asked to; a pipe or a file takes the
// bytes as they are.
bool PrepareConsole() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(out, &mode)) return false;
  SetConsoleOutputCP(CP_UTF8);
  return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

int main() {
  std::ios::sync_with_stdio(false);
  const bool console = PrepareConsole();
  const std::vector<std::string> args = Arguments();
  const tsukio::Win32Clock clock;
  Win32IconTools icons;
  Win32WindowPictures window;
  Win32SyncTools sync;
  tsukio::Win32DayWait dayWait;
  const wchar_t* noColour = _wgetenv(L"NO_COLOR");
  const tsukio::CalEnvironment env{
      .clock = clock,
      .colourTerminal = console && (noColour == nullptr || *noColour == L'\0'),
      .icons = &icons,
      .window = &window,
      .sync = &sync,
      .dayWait = &dayWait};
  const int code = tsukio::RunCal(args, std::cout, std::cerr, env);
  std::cout.flush();
  return code;
}
