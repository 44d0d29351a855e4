// The Win32 layer on its own: files, the mutex, the registry, GDI pixels, icons, timers,
// the tray's bookkeeping, Winsock and WinINet against servers in this process on 127.0.0.1.
#include <winsock2.h>
#include <ws2tcpip.h>
// windows.h after winsock2.h, or it brings in the old winsock.h.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <utility>

#include "platform/null_window_input.h"
#include "platform/win32/gdi_text_painter.h"
#include "platform/win32/png_file.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_settings.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_tray.h"
#include "tests/support/model_tray.h"
#include "tray/glyphs.h"

namespace tsukio {
namespace {

namespace chr = std::chrono;

std::string TemporaryFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  const std::string folder = Narrow(base) + "tsukio-test-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(GetTickCount64());
  CreateDirectoryW(Widen(folder).c_str(), nullptr);
  return folder;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Widen(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Narrow(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

TEST(Win32Text, RoundTripsJapaneseAndCutsTooltipsOnCharacters) {
  EXPECT_EQ(Narrow(Widen("2026年12月9日(水)")), "2026年12月9日(水)");
  EXPECT_EQ(Widen("月").size(), 1u);
  std::string kanji;
  for (int i = 0; i < 200; ++i) kanji += "暦";
  EXPECT_EQ(TrayTooltip(kanji).size(), kTooltipUnits);
  // A character outside the basic plane takes two units; it is never cut in half.
  std::string wide(kTooltipUnits - 1, 'a');
  wide += "𠮷";
  const std::wstring tip = TrayTooltip(wide);
  EXPECT_EQ(tip.size(), kTooltipUnits - 1);
  EXPECT_FALSE(IS_HIGH_SURROGATE(tip.back()));
}

struct FailAt {
  static inline int step = 0;  // 1 write, 2 flush, 3 replace and move
};
bool Fail() {
  SetLastError(ERROR_DISK_FULL);
  return false;
}
bool FailingWrite(void* f, const void* d, unsigned long n) {
  return FailAt::step == 1 ? Fail() : RealFileSteps().write(f, d, n);
}
bool FailingFlush(void* f) {
  return FailAt::step == 2 ? Fail() : RealFileSteps().flush(f);
}
bool FailingReplace(const wchar_t* to, const wchar_t* from) {
  return FailAt::step == 3 ? Fail() : RealFileSteps().replace(to, from);
}
bool FailingMove(const wchar_t* from, const wchar_t* to) {
  return FailAt::step == 3 ? Fail() : RealFileSteps().move(from, to);
}

TEST(Win32SettingsFile, ReplacesWholeOrLeavesTheOldFile) {
  const std::string folder = TemporaryFolder() + "\\Quorv\\Tsukio";
  const std::string path = folder + "\\tsukio.ini";
  Win32SettingsFile file(path);
  EXPECT_EQ(file.Read().status, StoredSettings::Status::kAbsent);  // not even the folder yet
  file.MakeFolders();
  ASSERT_TRUE(file.Write("[Pageleaf]\r\nMonth=1\r\n").ok);  // no old file: moved into place
  ASSERT_TRUE(file.Write("[Pageleaf]\r\nMonth=0\r\n").ok);  // an old file: replaced
  EXPECT_EQ(file.Read().status, StoredSettings::Status::kRead);
  EXPECT_EQ(file.Read().text, "[Pageleaf]\r\nMonth=0\r\n");

  const FileSteps failing{FailingWrite, FailingFlush, FailingReplace, FailingMove};
  for (int step = 1; step <= 3; ++step) {
    FailAt::step = step;
    const StorageWrite write = ReplaceFileWhole(path, "lost", failing);
    EXPECT_FALSE(write.ok) << "step " << step;
    EXPECT_FALSE(write.reason.empty()) << "step " << step;
    EXPECT_EQ(file.Read().text, "[Pageleaf]\r\nMonth=0\r\n") << "step " << step;
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"tsukio.ini"}) << "step " << step;
  }
  FailAt::step = 0;

  // A folder where the file should be is there, but unreadable, and says so.
  Win32SettingsFile folderFile(folder);
  EXPECT_EQ(folderFile.Read().status, StoredSettings::Status::kUnreadable);
  EXPECT_EQ(folderFile.Read().reason, "フォルダーです");
}

TEST(Win32SettingsFile, LivesInTheRoamingApplicationData) {
  const std::string path = SettingsFilePath("tsukio.exe");
  EXPECT_TRUE(path.ends_with("\\Quorv\\Tsukio\\tsukio.ini")) << path;
  EXPECT_TRUE(path.starts_with(RoamingAppData() + "\\")) << path;
  EXPECT_FALSE(RoamingAppData().empty());
}

TEST(Win32SingleInstance, SecondHolderOfTheNameIsNotFirst) {
  const std::string name = "Local\\Tsukio-test-" + std::to_string(GetCurrentProcessId());
  {
    const Win32SingleInstance first(name);
    EXPECT_TRUE(first.IsFirst());
    const Win32SingleInstance second(name);
    EXPECT_FALSE(second.IsFirst());
  }
  const Win32SingleInstance again(name);
  EXPECT_TRUE(again.IsFirst());
}

TEST(Win32Autostart, RunValueAndTaskManagersMark) {
  const std::string base = "Software\\Quorv\\TsukioTests\\" + std::to_string(GetCurrentProcessId());
  Win32Autostart autostart("C:\\Program Files\\Tsukio\\tsukio.exe", base + "\\Run",
                           base + "\\Approved");
  EXPECT_FALSE(autostart.Exists());
  EXPECT_TRUE(autostart.Disable());  // nothing to remove is no failure
  ASSERT_TRUE(autostart.Enable());
  EXPECT_TRUE(autostart.Exists());
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Widen(base + "\\Run").c_str(), L"Tsukio", RRF_RT_REG_SZ,
                         nullptr, value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(Narrow(value), "\"C:\\Program Files\\Tsukio\\tsukio.exe\"");
  EXPECT_EQ(autostart.Path(), "HKEY_CURRENT_USER\\" + base + "\\Run\\Tsukio");

  // Turned off in Task Manager: there, but not started.
  HKEY approved = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(base + "\\Approved").c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &approved, nullptr),
            ERROR_SUCCESS);
  const BYTE off[12] = {3};
  RegSetValueExW(approved, L"Tsukio", 0, REG_BINARY, off, sizeof off);
  RegCloseKey(approved);
  EXPECT_FALSE(autostart.Exists());
  ASSERT_TRUE(autostart.Enable());  // ticking the box again turns it back on
  EXPECT_TRUE(autostart.Exists());

  ASSERT_TRUE(autostart.Disable());
  EXPECT_FALSE(autostart.Exists());
  RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base).c_str());
}

TEST(Win32ClockSetter, HandsUtcFieldsToTheSetterAndExplainsARefusal) {
  std::vector<SystemTimeFields> asked;
  unsigned long answer = 0;
  Win32ClockSetter setter([&](const SystemTimeFields& f) {
    asked.push_back(f);
    return answer;
  });
  const UtcTime time = chr::sys_days{chr::year{2026} / 12 / 9} + chr::hours{3} + chr::minutes{4} +
                       chr::seconds{5} + chr::milliseconds{678};
  EXPECT_EQ(setter.SetUtc(time), "");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], (SystemTimeFields{2026, 12, 9, 3, 3, 4, 5, 678}));
  answer = ERROR_PRIVILEGE_NOT_HELD;
  EXPECT_NE(setter.SetUtc(time), "");
}

TEST(Win32Clocks, UtcAndLocalAgreeWithTheSystem) {
  const Win32UtcClock utc;
  SYSTEMTIME before{};
  GetSystemTime(&before);
  const UtcTime now = utc.Now();
  const chr::year_month_day day{chr::floor<chr::days>(now)};
  // Around midnight the two readings may straddle it; either day is right then.
  EXPECT_LE(std::abs(static_cast<int>(static_cast<unsigned>(day.day())) - before.wDay), 1);
  EXPECT_EQ(static_cast<int>(day.year()) / 10, before.wYear / 10);
  EXPECT_TRUE(utc.ToLocal(now).has_value());
  const Win32TickCounter ticks;
  const std::uint32_t first = ticks.Milliseconds();
  EXPECT_LT(static_cast<std::int32_t>(ticks.Milliseconds() - first), 60000);
}

TEST(GdiTextPainter, DrawsWithoutAntialiasingOnAWhiteBoxAtEverySize) {
  for (const int size : {16, 32}) {
    Canvas canvas(size);
    canvas.Fill(0x123456);
    GdiTextPainter painter;
    TextRun run;
    run.text = "8";
    run.x = 2;
    run.y = 1;
    run.face = "Arial";
    run.pointSize = 9;
    run.colour = Colour{0x0000FF};  // red, as 0x00BBGGRR
    painter.Draw(canvas, run);
    int red = 0, white = 0, other = 0;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const std::uint32_t p = canvas.at(x, y);
        if (p == 0xFF0000)
          ++red;
        else if (p == 0xFFFFFF)
          ++white;
        else if (p != 0x123456)
          ++other;
      }
    }
    EXPECT_GT(red, 5) << size;
    EXPECT_GT(white, 5) << size;
    EXPECT_EQ(other, 0) << "an antialiased edge at " << size;
    EXPECT_EQ(canvas.at(0, 0), 0x123456u) << size;  // left of the box: untouched
    EXPECT_EQ(canvas.at(size - 1, size - 1), 0x123456u) << size;
  }
}

// Draws through GDI and keeps each run, so a test knows where each digit went.
class RecordingPainter final : public TextPainter {
 public:
  void Draw(Canvas& canvas, const TextRun& run) override {
    runs.push_back(run);
    gdi_.Draw(canvas, run);
  }
  std::vector<TextRun> runs;

 private:
  GdiTextPainter gdi_;
};

// The share of a digit's own ink, drawn alone where the picture has it, that the picture
// still shows: what the later digit's background leaves of an earlier one.
double ShareLeft(const Canvas& picture, TextRun digit, std::uint32_t ink) {
  Canvas alone(16);
  alone.Fill(0xFFFFFF);
  GdiTextPainter().Draw(alone, digit);
  int own = 0, left = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (alone.at(x, y) != ink) continue;
      ++own;
      if (picture.at(x, y) == ink) ++left;
    }
  }
  return own == 0 ? 0.0 : static_cast<double>(left) / own;
}

std::string Drawn(const Canvas& picture, std::uint32_t ink) {
  std::string rows;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) rows += picture.at(x, y) == ink ? '#' : '.';
    rows += '\n';
  }
  return rows;
}

// Every number the tray shows in two digits keeps both: neither is wiped out by the other's
// background, as a leading 1 was where a Japanese face's wide digits stood in. With the faces
// of the test prefix, and with none (tests/win32/fonts_missing.sh), at both date layouts.
TEST(TrayPictures, EveryTwoDigitNumberKeepsBothDigits) {
  constexpr Colour kInk = Colour::FromRgb(200, 0, 200);  // nowhere on the page or the square
  const std::uint32_t ink = 0xC800C8;
  for (const int dpi : {96, 120}) {
    for (int n = 10; n <= 59; ++n) {
      const std::string text = std::to_string(n);
      for (const bool date : {true, false}) {
        if (date && n > 31) continue;  // days, and months 10-12; else hours, minutes, weeks
        RecordingPainter painter;
        const GlyphContext context{painter, dpi};
        GlyphList glyphs;
        date ? AddDateGlyph(glyphs, text, true, kInk, context)
             : AddTextGlyph(glyphs, text, true, kInk, context);
        ASSERT_GE(painter.runs.size(), 2u) << text;
        TextRun tens = painter.runs.front();
        tens.text = text.substr(0, 1);
        const TextRun& units = painter.runs.back();
        ASSERT_EQ(units.text, text.substr(1)) << text;
        const Canvas& picture = glyphs.front().pixels;
        const std::string what = (date ? "date " : "text ") + text + " at " + std::to_string(dpi) +
                                 " dpi:\n" + Drawn(picture, ink);
        EXPECT_GE(ShareLeft(picture, tens, ink), 0.5) << what;
        EXPECT_GE(ShareLeft(picture, units, ink), 0.5) << what;
      }
    }
  }
}

// The kana and kanji of the window, menu captions and pictures all have glyphs in the face
// drawing them, so none shows as an empty box.
TEST(TrayPictures, JapaneseTextHasGlyphsInTheFaceDrawingIt) {
  const std::wstring texts =
      L"日月火水木金土年とじる設定表示動作時刻方式週番号その他取り消し決定"
      L"ログイン時に起動更新間秒度だけ自動あわせをする方法サーバープロキシー"
      L"プログラム名バージョン開発チーム『をめくる、毎の暦』";
  for (const char* face : {"ＭＳ Ｐゴシック", "ＭＳ ゴシック"}) {
    const std::wstring& drawing = FacesFor(face).japanese;
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                             0, drawing.c_str());
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<WORD> glyphs(texts.size());
    GetGlyphIndicesW(dc, texts.c_str(), static_cast<int>(texts.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_NE(glyphs[i], 0xFFFF)
          << face << " drawn in " << Narrow(drawing) << " lacks " << Narrow(texts.substr(i, 1));
    }
  }
}

// A pressed button takes the keyboard focus; a step button must give it back to とじる, so
// that Enter still closes the calendar after paging it.
TEST(Win32MainWindow, StepButtonsLeaveTheFocusOnClose) {
  NullWindowInput input;
  int pages = 0;
  Win32MainWindow window(input, CalendarSteps{[&] { ++pages; }, {}, {}, {}});
  ASSERT_NE(window.Handle(), nullptr);
  MainWindowModel model;
  model.visible = true;
  window.Render(model);
  HWND nextYear = FindWindowExW(window.Handle(), nullptr, L"BUTTON", L"▲");
  HWND close = FindWindowExW(window.Handle(), nullptr, L"BUTTON", L"とじる");
  ASSERT_EQ(GetFocus(), close);
  SendMessageW(nextYear, BM_CLICK, 0, 0);
  for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(GetFocus(), close);
}

TEST(Png, SignatureHeaderAndStoredPixels) {
  Image image(3, 2, 0x80FF0000u);
  image.at(2, 1) = 0xFF00FF00u;
  const std::vector<std::uint8_t> png = EncodePng(image);
  ASSERT_GT(png.size(), 60u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  EXPECT_EQ(png[19], 3);  // width
  EXPECT_EQ(png[23], 2);  // height
  EXPECT_EQ(png[25], 6);  // RGBA
  // The stored block's rows: filter byte, then RGBA.
  const std::vector<std::uint8_t> firstRow{0, 0xFF, 0, 0, 0x80, 0xFF, 0, 0, 0x80, 0xFF, 0, 0, 0x80};
  EXPECT_NE(std::search(png.begin(), png.end(), firstRow.begin(), firstRow.end()), png.end());
  const std::string folder = TemporaryFolder();
  Win32ImageFiles files;
  EXPECT_EQ(files.WritePng(folder + "\\a.png", image), "");
  EXPECT_NE(files.WritePng(folder + "\\missing\\a.png", image), "");
}

TEST(TrayIcon, KeepsPerPixelAlpha) {
  Image picture(16, 16, 0x00000000u);
  picture.at(0, 0) = 0x80FF8040u;
  HICON icon = IconFromImage(picture, 32);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = 32;
  header.bmiHeader.biHeight = -32;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(32 * 32);
  HDC dc = GetDC(nullptr);
  ASSERT_EQ(GetDIBits(dc, info.hbmColor, 0, 32, pixels.data(), &header, DIB_RGB_COLORS), 32);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(pixels[0], 0x80FF8040u);
  EXPECT_EQ(pixels[1], 0x80FF8040u);  // enlarged by whole pixels
  EXPECT_EQ(pixels[32 + 1], 0x80FF8040u);
  EXPECT_EQ(pixels[2], 0u);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

// Pumps messages until `done` holds; the watchdog ends a test that would hang.
template <typename F>
void PumpUntil(F done) {
  const UINT_PTR watchdog = SetTimer(nullptr, 0, 20000, nullptr);
  MSG message{};
  while (!done() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.wParam == watchdog) break;
    DispatchMessageW(&message);
  }
  KillTimer(nullptr, watchdog);
}

TEST(Win32Timer, TicksOncePerStartAndAStoppedOneNotAtAll) {
  Win32MessageWindow window;
  ASSERT_NE(window.Handle(), nullptr);
  Win32Timer timer(window);
  int ticks = 0;
  timer.OnTick([&] {
    EXPECT_FALSE(timer.Pending());
    if (++ticks < 3) timer.Start(5);
  });
  EXPECT_FALSE(timer.Pending());
  timer.Start(5);
  EXPECT_TRUE(timer.Pending());
  PumpUntil([&] { return ticks >= 3; });
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer.Pending());

  // Stopped, it stays silent while a later timer has ticked.
  Win32Timer stopped(window), later(window);
  int stoppedTicks = 0;
  bool laterTicked = false;
  stopped.OnTick([&] { ++stoppedTicks; });
  later.OnTick([&] { laterTicked = true; });
  stopped.Start(1);
  stopped.Stop();
  EXPECT_FALSE(stopped.Pending());
  later.Start(30);
  PumpUntil([&] { return laterTicked; });
  EXPECT_TRUE(laterTicked);
  EXPECT_EQ(stoppedTicks, 0);
  EXPECT_EQ(ticks, 3) << "a one-shot timer ticked again unasked";
}

TEST(Win32Worker, RunsTheJobAwayAndItsContinuationOnTheWindowsThread) {
  Win32MessageWindow window;
  Win32Worker worker(window);
  const DWORD loop = GetCurrentThreadId();
  DWORD jobThread = 0, continuationThread = 0;
  int result = 0;
  worker.Run([&]() -> Worker::Continuation {
    jobThread = GetCurrentThreadId();
    const int computed = 6 * 7;
    return [&, computed] {
      continuationThread = GetCurrentThreadId();
      result = computed;
    };
  });
  PumpUntil([&] { return result != 0; });
  EXPECT_EQ(result, 42);
  EXPECT_NE(jobThread, loop);
  EXPECT_EQ(continuationThread, loop);
  EXPECT_FALSE(worker.Busy());
}

TEST(Win32MessageWindow, WallClockChangeIsHandedOn) {
  Win32MessageWindow window;
  int changed = 0;
  window.onTimeChange = [&] { ++changed; };
  SendMessageW(window.Handle(), WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(changed, 1);
}

TEST(Win32MessageWindow, ResumeFromStandbyIsHandedOn) {
  Win32MessageWindow window;
  int resumed = 0;
  window.onResume = [&] { ++resumed; };
  SendMessageW(window.Handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  SendMessageW(window.Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(resumed, 1);
}

// A taskbar as the tray host sees it: every message it was sent, played onto the model of a
// host that puts a newcomer on the given side.
struct RecordedTaskbar {
  ModelTray model;
  std::vector<std::string> sent;

  explicit RecordedTaskbar(TrayPlacement placement) : model{placement, {}, {}} {}
  void Attach(Win32TrayHost& tray) {
    tray.onSent = [this](const std::string& message) {
      sent.push_back(message);
      const int id = std::stoi(message.substr(1));
      if (message[0] == '+') model.Add(id);
      if (message[0] == '-') model.Remove(id);
    };
  }
  const std::vector<int>& Row() const { return model.row; }
  std::vector<std::string> Take() { return std::exchange(sent, {}); }
};

PictureSet Pictures(std::uint32_t colour) {
  return {Image(16, 16, colour), Image(24, 24, colour)};
}

TEST(Win32TrayHost, KeepsOneIconPerIdAndHandsOnTheMouse) {
  Win32MessageWindow window;
  std::vector<TrayEvent> events;
  Win32TrayHost tray(window, {}, [&](TrayEvent e) { events.push_back(e); });
  const PictureSet picture = Pictures(0xFFFFFFFFu);
  tray.AddIcon(110, "日", picture);
  tray.AddIcon(100, "月", picture);
  tray.AddIcon(110, "again", picture);
  tray.DeleteIcon(999);
  EXPECT_EQ(tray.Ids(), (std::vector<int>{110, 100}));
  tray.DeleteIcon(110);
  EXPECT_EQ(tray.Ids(), std::vector<int>{100});
  SendMessageW(window.Handle(), Win32MessageWindow::kTrayMessage, 100, WM_LBUTTONDOWN);
  SendMessageW(window.Handle(), Win32MessageWindow::kTrayMessage, 100, WM_MOUSEMOVE);
  SendMessageW(window.Handle(), Win32MessageWindow::kTrayMessage, 100, WM_RBUTTONDOWN);
  SendMessageW(window.Handle(), Win32MessageWindow::kTrayMessage, 100, WM_LBUTTONUP);
  EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::kLeftButtonDown, TrayEvent::kRightButtonDown,
                                            TrayEvent::kOther}));
}

TEST(Win32TrayHost, RowReadsInOrderOnTaskbarsThatAppendOrPrepend) {
  for (const TrayPlacement placement : {TrayPlacement::kAppends, TrayPlacement::kPrepends}) {
    SCOPED_TRACE(placement == TrayPlacement::kAppends ? "appends" : "prepends");
    Win32MessageWindow window;
    Win32TrayHost tray(
        window, {}, [](TrayEvent) {}, placement);
    RecordedTaskbar taskbar(placement);
    taskbar.Attach(tray);
    const PictureSet white = Pictures(0xFFFFFFFFu), red = Pictures(0xFFFF0000u);

    for (const int id : {100, 110, 120, 130}) tray.AddIcon(id, "icon", white);
    tray.Flush();
    EXPECT_EQ(taskbar.Row(), (std::vector<int>{100, 110, 120, 130}));

    // A refresh deletes and adds every icon: each keeps its place and only changes picture.
    taskbar.Take();
    for (const int id : {100, 110, 120, 130}) tray.DeleteIcon(id);
    for (const int id : {100, 110, 120, 130}) tray.AddIcon(id, "icon", id == 110 ? red : white);
    tray.Flush();
    EXPECT_EQ(taskbar.Take(), std::vector<std::string>{"~110"});

    // The status icon arrives later, at the end of the row; one icon goes from the middle
    // and comes back in its place.
    tray.AddIcon(170, "status", white);
    tray.Flush();
    EXPECT_EQ(taskbar.Row(), (std::vector<int>{100, 110, 120, 130, 170}));
    tray.DeleteIcon(120);
    tray.Flush();
    EXPECT_EQ(taskbar.Row(), (std::vector<int>{100, 110, 130, 170}));
    for (const int id : {130, 170}) tray.DeleteIcon(id);
    for (const int id : {120, 130, 170}) tray.AddIcon(id, "icon", white);
    tray.Flush();
    EXPECT_EQ(taskbar.Row(), (std::vector<int>{100, 110, 120, 130, 170}));

    // Nothing changed: nothing sent.
    taskbar.Take();
    tray.ModifyIcon(100, white);
    tray.Flush();
    EXPECT_TRUE(taskbar.Take().empty());
  }
}

TEST(Win32TrayHost, ChangesWaitForTheMessageLoopAndANewTaskbarGetsTheRowAgain) {
  for (const TrayPlacement placement : {TrayPlacement::kAppends, TrayPlacement::kPrepends}) {
    Win32MessageWindow window;
    Win32TrayHost tray(
        window, {}, [](TrayEvent) {}, placement);
    RecordedTaskbar taskbar(placement);
    taskbar.Attach(tray);
    for (const int id : {100, 110, 120}) tray.AddIcon(id, "icon", Pictures(0xFFFFFFFFu));
    EXPECT_TRUE(taskbar.sent.empty()) << "sent before the loop ran";
    PumpUntil([&] { return taskbar.Row().size() == 3; });
    EXPECT_EQ(taskbar.Row(), (std::vector<int>{100, 110, 120}));

    int changed = 0;
    tray.OnHostChanged([&] { ++changed; });
    taskbar.model.Restart();  // the old taskbar is gone with our icons
    SendMessageW(window.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(taskbar.Row(), (std::vector<int>{100, 110, 120}));
  }
}

// A loopback socket of the test's own, closed when it goes.
struct LoopbackSocket {
  SOCKET s;
  std::uint16_t port = 0;
  explicit LoopbackSocket(int type) : s(socket(AF_INET, type, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
  }
  ~LoopbackSocket() { closesocket(s); }
};

TEST(Win32DatagramNetwork, SendsAndReceivesOnLoopback) {
  Win32DatagramNetwork network;
  EXPECT_EQ(network.ResolveIpv4("127.0.0.1"), 0x7F000001u);
  LoopbackSocket server(SOCK_DGRAM);
  std::thread answer([&] {
    char buffer[64];
    sockaddr_in from{};
    int size = sizeof from;
    const int n =
        recvfrom(server.s, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
    if (n > 0) {
      buffer[0] = static_cast<char>(buffer[0] + 1);
      sendto(server.s, buffer, n, 0, reinterpret_cast<sockaddr*>(&from), size);
    }
  });
  const auto socket = network.Connect({0x7F000001u, server.port});
  ASSERT_NE(socket, nullptr);
  const std::vector<std::uint8_t> request{0x23, 1, 2};
  ASSERT_TRUE(socket->Send(request));
  const std::optional<Datagram> reply = socket->Receive(chr::seconds{20});
  answer.join();
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->from, (Ipv4Endpoint{0x7F000001u, server.port}));
  EXPECT_EQ(reply->bytes, (std::vector<std::uint8_t>{0x24, 1, 2}));
}

// Answers each connection with a Date, and keeps the request lines it was sent.
class DateServer {
 public:
  DateServer() : listener_(SOCK_STREAM) {
    listen(listener_.s, 4);
    thread_ = std::thread([this] { Serve(); });
  }
  ~DateServer() {
    stop_ = true;
    closesocket(listener_.s);
    listener_.s = INVALID_SOCKET;
    thread_.join();
  }
  std::uint16_t Port() const { return listener_.port; }
  std::vector<std::string> requests;

 private:
  void Serve() {
    while (!stop_) {
      const SOCKET client = accept(listener_.s, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
      }
      requests.push_back(request.substr(0, request.find("\r\n")));
      const std::string reply =
          "HTTP/1.1 200 OK\r\nDate: Wed, 09 Dec 2026 03:04:05 GMT\r\nContent-Length: 2\r\n"
          "Connection: close\r\n\r\nok";
      send(client, reply.data(), static_cast<int>(reply.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }
  Win32DatagramNetwork winsock_;  // keeps Winsock started for the server
  LoopbackSocket listener_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(WinInetHttpClient, ReadsTheDateDirectlyAndThroughTheNamedProxy) {
  DateServer server;
  WinInetHttpClient http;
  const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/time";
  EXPECT_EQ(http.DateHeader({HttpAccessMode::kDirect, url, ""}), "Wed, 09 Dec 2026 03:04:05 GMT");
  // The same server as the proxy: a proxy is asked for the whole address.
  const std::string proxy = "http://127.0.0.1:" + std::to_string(server.Port());
  EXPECT_EQ(http.DateHeader({HttpAccessMode::kNamedProxy, "http://127.0.0.1:9/elsewhere", proxy}),
            "Wed, 09 Dec 2026 03:04:05 GMT");
  // The system's settings here (a fresh prefix) name no proxy.
  EXPECT_EQ(http.DateHeader({HttpAccessMode::kPreconfigured, url, ""}),
            "Wed, 09 Dec 2026 03:04:05 GMT");
  ASSERT_EQ(server.requests.size(), 3u);
  EXPECT_EQ(server.requests[0], "GET /time HTTP/1.1");
  EXPECT_EQ(server.requests[1], "GET http://127.0.0.1:9/elsewhere HTTP/1.1");
  EXPECT_EQ(server.requests[2], "GET /time HTTP/1.1");
  EXPECT_EQ(WinInetProxyName("http://proxy.example:8080/"), "proxy.example:8080");
}

TEST(WinInetHttpClient, NoServerMeansNoDate) {
  LoopbackSocket closed(SOCK_STREAM);  // bound, never listening
  WinInetHttpClient http(
      WinInetHttpClient::Limits{chr::milliseconds{3000}, chr::milliseconds{3000}});
  EXPECT_EQ(http.DateHeader({HttpAccessMode::kDirect,
                             "http://127.0.0.1:" + std::to_string(closed.port) + "/", ""}),
            std::nullopt);
}

}  // namespace
}  // namespace tsukio
