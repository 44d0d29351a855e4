#include "platform/win32/win32_main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <algorithm>

#include "calwindow/month_grid.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_text.h"

namespace tsukio {

namespace {

constexpr wchar_t kWindowClass[] = L"Tsukio.MainWindow";
constexpr int kClientWidth = 250;
constexpr int kClientHeight = 289;
constexpr char kWindowFace[] = "ＭＳ Ｐゴシック";
constexpr char kAboutFace[] = "ＭＳ ゴシック";

// Control ids.
enum : int {
  kNextYear = 100, kPreviousYear, kNextMonth, kPreviousMonth,
  kClose = 110,
  kAboutGroup = 200, kAboutIcon, kNameLabel, kName, kVersionLabel, kVersion, kNotice, kLink,
  kOptionsGroup = 300, kTabs, kOk, kCancel,
  kShowMonth = 310, kShowWeekday, kShowClock, kShowWeekNumber, kWeekRuleGroup, kIso, kUsa,
  kTwelveHour, kShowAlmanac, kShowMoon,
  kAutoUpdate = 320, kAutoUpdateLabel, kAutoUpdateField, kAutoUp, kAutoDown, kStartAtLogin,
  kSetClock = 330, kTimeMethodLabel, kNtpChoice, kHttpChoice, kNtpLabel, kNtpField, kHttpLabel,
  kHttpField, kProxyLabel, kProxyField,
};

// Fonts, by index. A cell's number and the year and month are Latin text, drawn as on Linux
// when the window's face is missing or stood in for (FacesFor).
enum : int { kFontWindow, kFontTabs, kFontCell, kFontCellBold, kFontCellLatin, kFontCellLatinBold,
             kFontYear, kFontYearUnit, kFontAbout, kFontAboutBold, kFontCount };

// The tab pages' area, where their controls' coordinates start.
constexpr int kPageLeft = 18;
constexpr int kPageTop = 56;

constexpr std::pair<int, OptionBox> kBoxes[] = {
    {kShowMonth, OptionBox::kMonth},         {kShowWeekday, OptionBox::kWeekday},
    {kShowClock, OptionBox::kClock},         {kShowWeekNumber, OptionBox::kWeekNumber},
    {kTwelveHour, OptionBox::kTwelveHour},   {kShowAlmanac, OptionBox::kAlmanac},
    {kShowMoon, OptionBox::kMoon},
    {kAutoUpdate, OptionBox::kAutoUpdate},   {kSetClock, OptionBox::kSetClock},
    {kStartAtLogin, OptionBox::kStartAtLogin}};

const CheckBox& BoxModel(const OptionsPanel& p, OptionBox box) {
  switch (box) {
    case OptionBox::kMonth: return p.showMonth;
    case OptionBox::kWeekday: return p.showWeekday;
    case OptionBox::kClock: return p.showClock;
    case OptionBox::kWeekNumber: return p.showWeekNumber;
    case OptionBox::kTwelveHour: return p.twelveHour;
    case OptionBox::kAlmanac: return p.showAlmanac;
    case OptionBox::kMoon: return p.showMoon;
    case OptionBox::kAutoUpdate: return p.autoUpdate;
    case OptionBox::kSetClock: return p.setClock;
    case OptionBox::kStartAtLogin: return p.startAtLogin;
  }
  return p.showMonth;
}

COLORREF ToColorRef(Colour colour) {
  return RGB(colour.Red(), colour.Green(), colour.Blue());
}

RECT Box(int x, int y, int w, int h) {
  return RECT{x, y, x + w, y + h};
}

}  // namespace

Win32MainWindow::Win32MainWindow(MainWindowInput& input, CalendarSteps steps)
    : input_(input), steps_(std::move(steps)), model_{} {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&common);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  type.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  type.hIcon = icon_;
  type.lpszClassName = kWindowClass;
  RegisterClassExW(&type);
  white_ = CreateSolidBrush(RGB(255, 255, 255));
  dpi_ = static_cast<int>(GetDpiForSystem());
  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, kWindowClass,
                            L"", WS_POPUP | WS_CAPTION, CW_USEDEFAULT,
                            CW_USEDEFAULT, kClientWidth, kClientHeight, nullptr, nullptr, instance,
                            this);
  if (window_ == nullptr) return;
  dpi_ = static_cast<int>(GetDpiForWindow(window_));
  MakeFonts();
  Build();
  Layout();
  Render(model_);
}

Win32MainWindow::~Win32MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  for (HFONT font : fonts_) DeleteObject(font);
  if (white_ != nullptr) DeleteObject(white_);
  if (icon_ != nullptr) DestroyIcon(icon_);
}

void Win32MainWindow::MakeFonts() {
  for (HFONT font : fonts_) DeleteObject(font);
  fonts_.clear();
  const auto make = [this](const std::wstring& face, int pixels, bool bold) {
    return CreateFontW(-Scale(pixels), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  };
  const TextFaces& window = FacesFor(kWindowFace);
  const TextFaces& about = FacesFor(kAboutFace);
  fonts_ = {make(window.japanese, 12, false), make(window.japanese, 16, false),
            make(window.japanese, 16, false), make(window.japanese, 16, true),
            make(window.latin, 16, false),    make(window.latin, 16, true),
            make(window.latin, 24, false),    make(window.japanese, 19, false),
            make(about.japanese, 16, false),  make(about.japanese, 16, true)};
}

HWND Win32MainWindow::Add(const wchar_t* type, const std::string& text, DWORD style, int id,
                          RECT at, int font) {
  HWND control = CreateWindowExW(0, type, Widen(text).c_str(), WS_CHILD | style, 0, 0, 0, 0,
                                 window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  controls_.push_back(Control{control, at, font});
  byId_[id] = control;
  return control;
}

void Win32MainWindow::Build() {
  const DWORD push = WS_TABSTOP | BS_PUSHBUTTON;
  const DWORD check = WS_TABSTOP | BS_CHECKBOX;
  const DWORD radio = WS_TABSTOP | BS_RADIOBUTTON;
  const DWORD label = SS_LEFT | SS_CENTERIMAGE;

  // The calendar: its cells are painted; the step buttons never take the focus.
  Add(L"BUTTON", "▲", BS_PUSHBUTTON, kNextYear, Box(112, 184, 17, 17), kFontWindow);
  Add(L"BUTTON", "▼", BS_PUSHBUTTON, kPreviousYear, Box(112, 200, 17, 17), kFontWindow);
  Add(L"BUTTON", "▲", BS_PUSHBUTTON, kNextMonth, Box(192, 184, 17, 17), kFontWindow);
  Add(L"BUTTON", "▼", BS_PUSHBUTTON, kPreviousMonth, Box(192, 200, 17, 17), kFontWindow);
  calendarIds_ = {kNextYear, kPreviousYear, kNextMonth, kPreviousMonth};
  Add(L"BUTTON", "とじる", WS_TABSTOP | BS_DEFPUSHBUTTON, kClose, Box(40, 224, 169, 33), kFontWindow);

  // About.
  Add(L"BUTTON", "", BS_GROUPBOX | WS_CLIPSIBLINGS, kAboutGroup, Box(8, 8, 233, 257), kFontAbout);
  HWND icon = Add(L"STATIC", "", SS_ICON | SS_REALSIZECONTROL, kAboutIcon, Box(16, 16, 32, 32), kFontAbout);
  if (icon_ != nullptr) SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
  Add(L"STATIC", "プログラム名", label, kNameLabel, Box(48, 56, 100, 18), kFontAbout);
  Add(L"STATIC", "Tsukio", label, kName, Box(152, 56, 80, 18), kFontAboutBold);
  Add(L"STATIC", "バージョン", label, kVersionLabel, Box(48, 88, 100, 18), kFontAbout);
  Add(L"STATIC", TSUKIO_VERSION, label, kVersion, Box(152, 88, 60, 18), kFontAboutBold);
  Add(L"STATIC", "© 2026 Quorv\r\nTsukio 開発チーム\r\n\r\n『月をめくる、毎日の暦』", SS_CENTER,
      kNotice, Box(24, 112, 201, 62), kFontWindow);
  Add(L"STATIC", TSUKIO_HOMEPAGE, SS_CENTER | SS_NOTIFY, kLink, Box(16, 176, 217, 17), kFontWindow);
  aboutIds_ = {kAboutGroup, kAboutIcon, kNameLabel, kName, kVersionLabel, kVersion, kNotice, kLink};

  // Options: the group, the tabs, and each page's controls placed over the tab's page area.
  Add(L"BUTTON", "設定", BS_GROUPBOX | WS_CLIPSIBLINGS, kOptionsGroup, Box(8, 8, 233, 265), kFontWindow);
  HWND tabs = Add(WC_TABCONTROLW, "", WS_TABSTOP | WS_CLIPSIBLINGS, kTabs, Box(16, 32, 217, 193), kFontTabs);
  for (const char* caption : {"表示", "動作", "時刻"}) {
    std::wstring text = Widen(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)),
                 reinterpret_cast<LPARAM>(&item));
  }
  const auto page = [](int x, int y, int w, int h) { return Box(kPageLeft + x, kPageTop + y, w, h); };
  Add(L"BUTTON", "月", check, kShowMonth, page(8, 16, 56, 17), kFontWindow);
  Add(L"BUTTON", "曜日", check, kShowWeekday, page(64, 16, 72, 17), kFontWindow);
  Add(L"BUTTON", "時刻", check, kShowClock, page(136, 16, 65, 17), kFontWindow);
  Add(L"BUTTON", "週番号", check, kShowWeekNumber, page(8, 48, 80, 17), kFontWindow);
  Add(L"BUTTON", "方式", BS_GROUPBOX | WS_CLIPSIBLINGS, kWeekRuleGroup, page(88, 48, 89, 65), kFontWindow);
  Add(L"BUTTON", "ISO", radio, kIso, page(96, 66, 73, 17), kFontWindow);
  Add(L"BUTTON", "USA ", radio, kUsa, page(96, 88, 73, 17), kFontWindow);
  Add(L"BUTTON", "月齢", check, kShowMoon, page(8, 88, 72, 17), kFontWindow);
  Add(L"BUTTON", "12時間表記", check, kTwelveHour, page(8, 128, 110, 17), kFontWindow);
  Add(L"BUTTON", "その他", check, kShowAlmanac, page(120, 128, 90, 17), kFontWindow);
  pageIds_[0] = {kShowMonth, kShowWeekday, kShowClock, kShowWeekNumber, kWeekRuleGroup, kIso, kUsa,
                 kShowMoon, kTwelveHour, kShowAlmanac};

  Add(L"BUTTON", "1度だけ自動更新", check, kAutoUpdate, page(8, 12, 161, 25), kFontWindow);
  Add(L"STATIC", "更新時間（秒）", label, kAutoUpdateLabel, page(24, 40, 120, 16), kFontWindow);
  Add(L"STATIC", "", SS_CENTER | SS_CENTERIMAGE | WS_BORDER, kAutoUpdateField, page(24, 64, 41, 33), kFontWindow);
  Add(L"BUTTON", "▲", BS_PUSHBUTTON, kAutoUp, page(64, 64, 25, 17), kFontWindow);
  Add(L"BUTTON", "▼", BS_PUSHBUTTON, kAutoDown, page(64, 81, 25, 16), kFontWindow);
  Add(L"BUTTON", "ログイン時に起動", check, kStartAtLogin, page(8, 112, 161, 25), kFontWindow);
  pageIds_[1] = {kAutoUpdate, kAutoUpdateLabel, kAutoUpdateField, kAutoUp, kAutoDown, kStartAtLogin};

  Add(L"BUTTON", "時刻あわせをする", check, kSetClock, page(8, 16, 169, 17), kFontWindow);
  Add(L"STATIC", "設定方法", label, kTimeMethodLabel, page(8, 48, 64, 16), kFontWindow);
  Add(L"BUTTON", "NTP", radio, kNtpChoice, page(72, 48, 64, 17), kFontWindow);
  Add(L"BUTTON", "HTTP", radio, kHttpChoice, page(136, 48, 64, 17), kFontWindow);
  const DWORD edit = WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
  Add(L"STATIC", "NTPサーバー", label, kNtpLabel, page(8, 72, 80, 24), kFontWindow);
  Add(L"EDIT", "", edit, kNtpField, page(88, 72, 105, 22), kFontWindow);
  Add(L"STATIC", "HTTPサーバー", label, kHttpLabel, page(8, 96, 80, 24), kFontWindow);
  Add(L"EDIT", "", edit, kHttpField, page(88, 96, 105, 22), kFontWindow);
  Add(L"STATIC", "プロキシー", label, kProxyLabel, page(8, 120, 80, 24), kFontWindow);
  Add(L"EDIT", "", edit, kProxyField, page(88, 120, 105, 22), kFontWindow);
  pageIds_[2] = {kSetClock, kTimeMethodLabel, kNtpChoice, kHttpChoice, kNtpLabel, kNtpField,
                 kHttpLabel, kHttpField, kProxyLabel, kProxyField};

  Add(L"BUTTON", "決定", push, kOk, Box(16, 232, 89, 33), kFontWindow);
  Add(L"BUTTON", "取り消し", push, kCancel, Box(144, 232, 89, 33), kFontWindow);
  optionIds_ = {kOptionsGroup, kTabs, kOk, kCancel};

  // Frames lie beneath what they frame.
  for (int id : {kWeekRuleGroup, kTabs, kOptionsGroup, kAboutGroup}) {
    SetWindowPos(byId_[id], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  // One tooltip per day cell: the cell's hint.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             0, 0, 0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
  for (int i = kFirstDayCell; i < kFirstWeekCell; ++i) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = static_cast<UINT_PTR>(i);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void Win32MainWindow::Layout() {
  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE)),
                           static_cast<UINT>(dpi_));
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const Control& c : controls_) {
    const RECT r = Scale(c.at);
    SetWindowPos(c.handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(c.handle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(c.font)]), TRUE);
  }
  for (int i = kFirstDayCell; i < kFirstWeekCell; ++i) {
    const CellLayout cell = CalendarCellLayout(i);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = static_cast<UINT_PTR>(i);
    tool.rect = Scale(Box(cell.left, cell.top, cell.width, cell.height));
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Win32MainWindow::Render(const MainWindowModel& model) {
  if (window_ == nullptr) return;
  rendering_ = true;
  model_ = model;
  const OptionsPanel& p = model.options;
  SetWindowTextW(window_, Widen(model.caption).c_str());

  const auto show = [this](const std::vector<int>& ids, bool shown) {
    for (int id : ids) ShowWindow(byId_[id], shown ? SW_SHOWNA : SW_HIDE);
  };
  show(calendarIds_, model.view == View::kCalendar);
  show(aboutIds_, model.view == View::kAbout);
  show(optionIds_, p.shown);
  for (int page = 0; page < 3; ++page) show(pageIds_[page], p.shown && static_cast<int>(p.tab) == page);
  ShowWindow(byId_[kClose], p.shown ? SW_HIDE : SW_SHOWNA);
  SendMessageW(byId_[kClose], BM_SETSTYLE, p.shown ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
  SendMessageW(byId_[kOk], BM_SETSTYLE, p.shown ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);

  const auto state = [this](int id, bool checked, bool enabled) {
    SendMessageW(byId_[id], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    EnableWindow(byId_[id], enabled);
  };
  for (const auto& [id, box] : kBoxes) state(id, BoxModel(p, box).checked, BoxModel(p, box).enabled);
  EnableWindow(byId_[kWeekRuleGroup], p.weekRule.enabled);
  state(kIso, p.weekRuleIndex == 0, p.weekRule.enabled);
  state(kUsa, p.weekRuleIndex == 1, p.weekRule.enabled);
  state(kNtpChoice, !p.httpSelected, p.ntpChoice.enabled);
  state(kHttpChoice, p.httpSelected, p.httpChoice.enabled);
  EnableWindow(byId_[kAutoUpdateLabel], p.autoUpdateLabel.enabled);
  EnableWindow(byId_[kAutoUpdateField], p.autoUpdateField.enabled);
  SetWindowTextW(byId_[kAutoUpdateField], std::to_wstring(p.autoSeconds).c_str());
  EnableWindow(byId_[kAutoUp], p.autoUpdateArrows.enabled);
  EnableWindow(byId_[kAutoDown], p.autoUpdateArrows.enabled);
  EnableWindow(byId_[kTimeMethodLabel], p.timeMethodLabel.enabled);
  EnableWindow(byId_[kNtpLabel], p.ntpLabel.enabled);
  EnableWindow(byId_[kHttpLabel], p.httpLabel.enabled);
  EnableWindow(byId_[kProxyLabel], p.proxyLabel.enabled);
  const auto field = [this](int id, const TextField& text) {
    const std::wstring wanted = Widen(text.text);
    std::wstring shown(static_cast<std::size_t>(GetWindowTextLengthW(byId_[id])) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(GetWindowTextW(byId_[id], shown.data(), static_cast<int>(shown.size()))));
    if (shown != wanted) SetWindowTextW(byId_[id], wanted.c_str());
    EnableWindow(byId_[id], text.enabled);
  };
  field(kNtpField, p.ntpServerField);
  field(kHttpField, p.httpServerField);
  field(kProxyField, p.proxyServerField);
  SendMessageW(byId_[kTabs], TCM_SETCURSEL, static_cast<WPARAM>(p.tab), 0);

  for (int i = kFirstDayCell; i < kFirstWeekCell; ++i) {
    const CalendarCell& cell = model.calendar.cells[static_cast<std::size_t>(i)];
    std::wstring hint = cell.showHint && model.view == View::kCalendar ? Widen(cell.hint) : L"";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = static_cast<UINT_PTR>(i);
    tool.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  InvalidateRect(window_, nullptr, TRUE);
  rendering_ = false;

  if (!model.visible) {
    ShowWindow(window_, SW_HIDE);
    return;
  }
  // Drawn again while shown it stays where the user has put it; only a window that appears
  // is centred on its monitor and brought forward.
  if (IsWindowVisible(window_)) return;
  RECT frame{};
  GetWindowRect(window_, &frame);
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window_, HWND_TOPMOST, (work.left + work.right - width) / 2,
               (work.top + work.bottom - height) / 2, 0, 0, SWP_NOSIZE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  if (!p.shown) SetFocus(byId_[kClose]);
}

void Win32MainWindow::PaintCalendar(HDC dc) {
  if (model_.view != View::kCalendar || fonts_.size() != kFontCount) return;
  SetBkMode(dc, TRANSPARENT);
  const MonthGrid& grid = model_.calendar;
  for (int i = 0; i < kCalendarCellCount; ++i) {
    const CalendarCell& cell = grid.cells[static_cast<std::size_t>(i)];
    if (!cell.visible) continue;
    const CellLayout layout = CalendarCellLayout(i);
    RECT r = Scale(Box(layout.left, layout.top, layout.width, layout.height));
    HBRUSH fill = cell.background ? CreateSolidBrush(ToColorRef(*cell.background)) : nullptr;
    FillRect(dc, &r, fill != nullptr ? fill : GetSysColorBrush(COLOR_BTNFACE));
    if (fill != nullptr) DeleteObject(fill);
    if (layout.bevel != Bevel::kNone) {
      DrawEdge(dc, &r, layout.bevel == Bevel::kRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    }
    std::wstring caption = Widen(cell.caption);
    SelectObject(dc, fonts_[IsLatinText(caption) ? (layout.bold ? kFontCellLatinBold : kFontCellLatin)
                                  : (layout.bold ? kFontCellBold : kFontCell)]);
    SetTextColor(dc, ToColorRef(cell.text));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  // The year and the month on white, narrowed when the digits are wider than their box.
  const auto number = [&](const std::string& text, RECT at) {
    RECT r = Scale(at);
    FillRect(dc, &r, white_);
    const std::wstring caption = Widen(text);
    SelectObject(dc, fonts_[kFontYear]);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    HFONT narrow = nullptr;
    const int room = r.right - r.left - 2;
    if (extent.cx > room && extent.cx > 0) {
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      narrow = CreateFontW(-Scale(24), std::max(1, static_cast<int>(metrics.tmAveCharWidth * room / extent.cx)),
                           0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           FacesFor(kWindowFace).latin.c_str());
      SelectObject(dc, narrow);
    }
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, fonts_[kFontYear]);
    if (narrow != nullptr) DeleteObject(narrow);
  };
  number(grid.yearLabel, Box(40, 188, 48, 24));
  number(grid.monthLabel, Box(144, 188, 24, 24));
  SelectObject(dc, fonts_[kFontYearUnit]);
  SetTextColor(dc, RGB(0, 0, 0));
  for (const auto& [unit, at] : {std::pair{L"年", Box(88, 192, 25, 25)}, std::pair{L"月", Box(168, 192, 25, 25)}}) {
    RECT r = Scale(at);
    DrawTextW(dc, unit, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

LRESULT CALLBACK Win32MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<Win32MainWindow*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return self == nullptr ? DefWindowProcW(window, message, w, l) : self->Handle(message, w, l);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window_, &paint);
      PaintCalendar(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_COMMAND:
      if (!rendering_) Command(LOWORD(w), HIWORD(w));
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(l);
      if (header->idFrom == kTabs && header->code == TCN_SELCHANGE && !rendering_) {
        input_.TabShown(static_cast<OptionsTab>(SendMessageW(byId_[kTabs], TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_ERASEBKGND: {
      // A themed tab's page is white, and the controls on it draw on white; a group box on
      // the page is hollow and shows what lies beneath it, the window's face, unless the page
      // is white there too. The group box asks for this through DrawThemeParentBackground.
      DefWindowProcW(window_, message, w, l);
      if (model_.options.shown && IsAppThemed()) {
        RECT page{};
        GetWindowRect(byId_[kTabs], &page);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&page), 2);
        SendMessageW(byId_[kTabs], TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        FillRect(reinterpret_cast<HDC>(w), &page, white_);
      }
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(w);
      const auto control = reinterpret_cast<HWND>(l);
      if (control == byId_[kAutoUpdateField]) {
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(white_);
      }
      if (control == byId_[kLink]) SetTextColor(dc, RGB(0, 0, 255));
      // A themed tab's page is white, a classic one has the window's face.
      const int page = static_cast<int>(model_.options.tab);
      const bool onPage = model_.options.shown &&
                          std::any_of(pageIds_[page].begin(), pageIds_[page].end(),
                                      [&](int id) { return byId_[id] == control; });
      if (onPage && IsAppThemed()) {
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(white_);
      }
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(w) == byId_[kLink]) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // The window manager's close hides the window, as とじる does; the program goes on.
      model_.options.shown ? input_.CancelClicked() : input_.CloseClicked();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(w);
      MakeFonts();
      Layout();
      const auto* suggested = reinterpret_cast<const RECT*>(l);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, w, l);
}

void Win32MainWindow::Command(int id, int code) {
  const bool options = model_.options.shown;
  if (code == EN_CHANGE) {
    const ServerField field = id == kNtpField ? ServerField::kNtp : id == kHttpField ? ServerField::kHttp
                                                                                     : ServerField::kProxy;
    if (id != kNtpField && id != kHttpField && id != kProxyField) return;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(byId_[id])) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(byId_[id], text.data(), static_cast<int>(text.size()))));
    input_.ServerEdited(field, Narrow(text));
    return;
  }
  if (code != BN_CLICKED && code != STN_CLICKED) return;
  for (const auto& [boxId, box] : kBoxes) {
    if (boxId == id) {
      input_.OptionBoxClicked(box, SendMessageW(byId_[id], BM_GETCHECK, 0, 0) != BST_CHECKED);
      return;
    }
  }
  const auto run = [](const std::function<void()>& step) {
    if (step) step();
  };
  switch (id) {
    case IDOK:  // Enter
      options ? input_.OkClicked() : input_.CloseClicked();
      break;
    case IDCANCEL:  // Esc
      options ? input_.CancelClicked() : input_.CloseClicked();
      break;
    case kClose: input_.CloseClicked(); break;
    case kOk: input_.OkClicked(); break;
    case kCancel: input_.CancelClicked(); break;
    case kIso: input_.WeekRuleChosen(0); break;
    case kUsa: input_.WeekRuleChosen(1); break;
    case kNtpChoice: input_.TimeMethodChosen(false); break;
    case kHttpChoice: input_.TimeMethodChosen(true); break;
    case kAutoUp: input_.AutoArrowClicked(true); break;
    case kAutoDown: input_.AutoArrowClicked(false); break;
    case kLink: input_.LinkClicked(); break;
    case kNextYear: run(steps_.nextYear); break;
    case kPreviousYear: run(steps_.previousYear); break;
    case kNextMonth: run(steps_.nextMonth); break;
    case kPreviousMonth: run(steps_.previousMonth); break;
    default: break;
  }
  // A button takes the focus when pressed; a step button gives it back to とじる, as on Linux,
  // so Enter still closes the window.
  if (id == kNextYear || id == kPreviousYear || id == kNextMonth || id == kPreviousMonth) {
    if (GetFocus() == byId_[id]) SetFocus(byId_[kClose]);
  }
}

bool Win32MainWindow::TakeDialogMessage(MSG& message) {
  return window_ != nullptr && IsWindowVisible(window_) && IsDialogMessageW(window_, &message);
}

Image Win32MainWindow::Picture(const MainWindowModel& model) {
  // Without a desktop (no window station, or wine with no display) there is no window.
  if (window_ == nullptr) return Image();
  // The standard controls draw themselves only on a window that is on the screen, so the
  // window shows for a moment in a corner, without taking the focus, and is copied from there.
  MainWindowModel unseen = model;
  unseen.visible = false;
  Render(unseen);
  const int width = Scale(kClientWidth);
  const int height = Scale(kClientHeight);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  GdiFlush();

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC client = GetDC(window_);
  HDC dc = CreateCompatibleDC(client);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  Image picture(width, height);
  if (bitmap != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, client, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
      picture.argb[static_cast<std::size_t>(i)] = 0xFF000000u | (pixels[i] & 0xFFFFFFu);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  ReleaseDC(window_, client);
  ShowWindow(window_, SW_HIDE);
  return picture;
}

void Win32MainWindow::Close() {
  PostQuitMessage(0);
}

void Win32MainWindow::ShowError(std::string_view message) {
  MessageBoxW(IsWindowVisible(window_) ? window_ : nullptr, Widen(message).c_str(), L"Tsukio",
              MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

void Win32MainWindow::OpenUrl(std::string_view address) {
  ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

int Win32MainWindow::DisplayDpi() const {
  return window_ != nullptr ? static_cast<int>(GetDpiForWindow(window_)) : static_cast<int>(GetDpiForSystem());
}

}  // namespace tsukio
