#include "platform/win32/win32_tray.h"

#include <shellapi.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "platform/win32/win32_text.h"

namespace tsukio {

namespace {

constexpr wchar_t kWindowClass[] = L"Tsukio.MessageWindow";

UINT_PTR NextTimerId() {
  static UINT_PTR last = 0;
  return ++last;
}

// The system's own version, as the compatibility shims do not report it.
OSVERSIONINFOW RealVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll")) {
    const auto get = reinterpret_cast<RtlGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (get != nullptr) get(&version);
  }
  return version;
}

}  // namespace

Win32MessageWindow::Win32MessageWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW type{};
  type.cbSize = sizeof type;
  type.lpfnWndProc = Procedure;
  type.hInstance = instance;
  type.lpszClassName = kWindowClass;
  RegisterClassExW(&type);
  // Top-level, never shown: TaskbarCreated and power notices reach top-level windows only.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"Tsukio", WS_POPUP, 0, 0, 0, 0,
                            nullptr, nullptr, instance, this);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // An elevated copy would otherwise never hear of a new taskbar.
  if (window_ != nullptr)
    ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
}

Win32MessageWindow::~Win32MessageWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

LRESULT CALLBACK Win32MessageWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  if (message == kTrayMessage) {
    if (self->onTray) self->onTray(static_cast<UINT>(w), l);
    return 0;
  }
  if (message == kContinuationMessage) {
    const std::unique_ptr<std::function<void()>> done(reinterpret_cast<std::function<void()>*>(l));
    if (done && *done) (*done)();
    return 0;
  }
  if (message == kTrayFlushMessage) {
    if (self->onTrayFlush) self->onTrayFlush();
    return 0;
  }
  if (message == self->taskbarCreated_ && self->taskbarCreated_ != 0) {
    if (self->onTaskbarCreated) self->onTaskbarCreated();
    return 0;
  }
  switch (message) {
    case WM_TIMER: {
      const auto timer = self->timers.find(w);
      if (timer != self->timers.end() && timer->second) {
        const std::function<void()> tick = timer->second;  // the handler may stop the timer
        tick();
      }
      return 0;
    }
    case WM_TIMECHANGE:
      if (self->onTimeChange) self->onTimeChange();
      return 0;
    case WM_CLOSE:
      if (self->onCloseRequest) self->onCloseRequest();
      return 0;
    case WM_POWERBROADCAST:
      if (w == PBT_APMRESUMEAUTOMATIC && self->onResume) self->onResume();
      return TRUE;
    default:
      return DefWindowProcW(window, message, w, l);
  }
}

Win32Timer::Win32Timer(Win32MessageWindow& window) : window_(window), id_(NextTimerId()) {}

Win32Timer::~Win32Timer() {
  Stop();
  window_.timers.erase(id_);
}

void Win32Timer::OnTick(std::function<void()> handler) {
  handler_ = std::move(handler);
  window_.timers[id_] = [this] {
    // A WM_TIMER already queued when the timer was stopped is not a tick.
    if (!pending_) return;
    KillTimer(window_.Handle(), id_);
    pending_ = false;
    if (handler_) handler_();
  };
}

// SetTimer on an id that is pending replaces it.
void Win32Timer::Start(int milliseconds) {
  pending_ = true;
  SetTimer(window_.Handle(), id_, static_cast<UINT>(std::max(milliseconds, 0)), nullptr);
}

void Win32Timer::Stop() {
  if (!pending_) return;
  pending_ = false;
  KillTimer(window_.Handle(), id_);
}

struct Win32Worker::Shared {
  std::mutex mutex;
  HWND window = nullptr;  // none once the worker is destroyed
  int running = 0;
};

Win32Worker::Win32Worker(Win32MessageWindow& window) : shared_(std::make_shared<Shared>()) {
  shared_->window = window.Handle();
}

Win32Worker::~Win32Worker() {
  const std::lock_guard lock(shared_->mutex);
  shared_->window = nullptr;
}

void Win32Worker::Run(std::function<Continuation()> job) {
  {
    const std::lock_guard lock(shared_->mutex);
    ++shared_->running;
  }
  // Detached: the program may end while a server keeps the job waiting, and ending must not
  // wait for it.
  std::thread([shared = shared_, job = std::move(job)] {
    Continuation done = job();
    const std::lock_guard lock(shared->mutex);
    if (shared->window == nullptr) return;
    auto posted = std::make_unique<std::function<void()>>([shared, done = std::move(done)] {
      {
        const std::lock_guard inner(shared->mutex);
        --shared->running;
      }
      if (done) done();
    });
    if (PostMessageW(shared->window, Win32MessageWindow::kContinuationMessage, 0,
                     reinterpret_cast<LPARAM>(posted.get()))) {
      posted.release();  // the message window owns it now
    }
  }).detach();
}

bool Win32Worker::Busy() const {
  const std::lock_guard lock(shared_->mutex);
  return shared_->running > 0;
}

std::wstring TrayTooltip(const std::string& utf8) {
  std::wstring tip = Widen(utf8);
  if (tip.size() <= kTooltipUnits) return tip;
  std::size_t cut = kTooltipUnits;
  if (IS_HIGH_SURROGATE(tip[cut - 1])) --cut;
  tip.resize(cut);
  return tip;
}

HICON IconFromImage(const Image& picture, int size) {
  if (picture.width <= 0 || picture.height <= 0 || size <= 0) return nullptr;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = size;
  header.bV5Height = -size;  // top row first
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (colour == nullptr || bits == nullptr) return nullptr;
  // An icon's 32-bit pixels carry straight alpha, as the picture does.
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      pixels[y * size + x] = picture.at(x * picture.width / size, y * picture.height / size);
    }
  }
  // With per-pixel alpha the mask is not used for drawing, but an icon must have one.
  const std::vector<std::uint8_t> zeros(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, zeros.data());
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

TrayPlacement SystemTrayPlacement() {
  const OSVERSIONINFOW version = RealVersion();
  const bool prepends =
      (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1) || version.dwMajorVersion == 6;
  return prepends ? TrayPlacement::kPrepends : TrayPlacement::kAppends;
}

Win32TrayHost::Win32TrayHost(Win32MessageWindow& window, std::vector<Win32MenuEntry> menu,
                             std::function<void(TrayEvent)> notify, TrayPlacement placement)
    : window_(window), menu_(std::move(menu)), notify_(std::move(notify)), placement_(placement) {
  window_.onTray = [this](UINT, LPARAM event) {
    switch (LOWORD(event)) {
      case WM_LBUTTONDOWN:
        notify_(TrayEvent::kLeftButtonDown);
        break;
      case WM_RBUTTONDOWN:
        notify_(TrayEvent::kRightButtonDown);
        break;
      case WM_MOUSEMOVE:
        break;  // every move over an icon: nothing to tell
      default:
        notify_(TrayEvent::kOther);
    }
  };
  window_.onTaskbarCreated = [this] { TaskbarCreated(); };
  window_.onTrayFlush = [this] {
    flushPosted_ = false;
    Flush();
  };
}

Win32TrayHost::~Win32TrayHost() {
  for (const Icon& icon : shown_) Send(NIM_DELETE, icon, 0);
  window_.onTray = nullptr;
  window_.onTaskbarCreated = nullptr;
  window_.onTrayFlush = nullptr;
}

NOTIFYICONDATAW Win32TrayHost::Data(const Icon& icon, UINT flags, HICON handle) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_.Handle();
  data.uID = static_cast<UINT>(icon.id);
  data.uFlags = flags;
  data.uCallbackMessage = Win32MessageWindow::kTrayMessage;
  data.hIcon = handle;
  if (flags & NIF_TIP) {
    std::copy_n(icon.tooltip.c_str(), std::min(icon.tooltip.size(), kTooltipUnits) + 1, data.szTip);
  }
  return data;
}

bool Win32TrayHost::Send(DWORD message, const Icon& icon, UINT flags) {
  if (onSent) {
    const char* op = message == NIM_ADD ? "+" : message == NIM_DELETE ? "-" : "~";
    onSent(op + std::to_string(icon.id));
  }
  HICON handle = nullptr;
  if ((flags & NIF_ICON) && !icon.pictures.empty()) {
    // The picture drawn nearest the size shown, not below it where there is one.
    const int size = IconSize();
    const Image* best = &icon.pictures.front();
    for (const Image& picture : icon.pictures) {
      if (picture.width <= size && picture.width > best->width) best = &picture;
    }
    handle = IconFromImage(*best, size);
  }
  NOTIFYICONDATAW data = Data(icon, flags, handle);
  const bool ok = Shell_NotifyIconW(message, &data);
  // The shell keeps a copy of the icon.
  if (handle != nullptr) DestroyIcon(handle);
  return ok;
}

void Win32TrayHost::ScheduleFlush() {
  if (flushPosted_) return;
  flushPosted_ = PostMessageW(window_.Handle(), Win32MessageWindow::kTrayFlushMessage, 0, 0);
  if (!flushPosted_) Flush();
}

void Win32TrayHost::OnHostChanged(std::function<void()> handler) {
  hostChanged_ = std::move(handler);
}

std::vector<int> Win32TrayHost::IdsOf(const std::vector<Icon>& icons) {
  std::vector<int> ids;
  for (const Icon& icon : icons) ids.push_back(icon.id);
  return ids;
}

void Win32TrayHost::Update(Icon& shown, const Icon& wanted) {
  if (shown.tooltip == wanted.tooltip && shown.pictures == wanted.pictures) return;
  const UINT flags = NIF_ICON | NIF_MESSAGE | (shown.tooltip == wanted.tooltip ? 0 : NIF_TIP);
  shown = wanted;
  Send(NIM_MODIFY, shown, flags);
}

// An icon the taskbar refused stays counted as shown: a taskbar that starts later gets it at
// TaskbarCreated.
void Win32TrayHost::Flush() {
  const RowPlan plan = PlanFrom(IdsOf(shown_), placement_);
  const auto shown = [this](int id) {
    return std::find_if(shown_.begin(), shown_.end(), [id](const Icon& i) { return i.id == id; });
  };
  const auto wanted = [this](int id) {
    const WantedIcon& w = *FindWanted(id);
    return Icon{w.id, TrayTooltip(w.tooltip), w.pictures};
  };
  for (const int id : plan.remove) {
    const auto gone = shown(id);
    Send(NIM_DELETE, *gone, 0);
    shown_.erase(gone);
  }
  for (const int id : plan.keep) Update(*shown(id), wanted(id));
  for (const int id : plan.add) {
    const Icon icon = wanted(id);
    Send(NIM_ADD, icon, NIF_ICON | NIF_TIP | NIF_MESSAGE);
    shown_.push_back(icon);
  }
  // In the row's order, as the taskbar now shows them.
  std::stable_sort(shown_.begin(), shown_.end(),
                   [this](const Icon& a, const Icon& b) { return PlaceOf(a.id) < PlaceOf(b.id); });
}

// A new taskbar has none of our icons; one that only changed (a new resolution) still has
// them, and then an add fails where a modify does not. Either way the row is sent again whole,
// in the order the planner gives for an empty taskbar.
void Win32TrayHost::TaskbarCreated() {
  const std::vector<int> row = IdsOf(shown_);
  for (const int id : PlanRow({}, row, placement_).add) {
    const Icon& icon =
        *std::find_if(shown_.begin(), shown_.end(), [id](const Icon& i) { return i.id == id; });
    if (!Send(NIM_ADD, icon, NIF_ICON | NIF_TIP | NIF_MESSAGE)) {
      Send(NIM_MODIFY, icon, NIF_ICON | NIF_TIP | NIF_MESSAGE);
    }
  }
  if (hostChanged_) hostChanged_();
}

std::vector<int> Win32TrayHost::LargerPictureSizes() const {
  const int size = IconSize();
  if (size > 16) return {size};
  return {};
}

int Win32TrayHost::IconSize() const {
  const UINT dpi = window_.Handle() != nullptr ? GetDpiForWindow(window_.Handle()) : 96;
  const int size = GetSystemMetricsForDpi(SM_CXSMICON, dpi == 0 ? 96 : dpi);
  return size > 0 ? size : 16;
}

void Win32TrayHost::OpenMenu() {
  if (menuOpen_) return;
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  for (std::size_t i = 0; i < menu_.size(); ++i) {
    if (menu_[i].caption.empty()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, MF_STRING, i + 1, Widen(menu_[i].caption).c_str());
    }
  }
  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(window_.Handle());
  menuOpen_ = true;
  const auto chosen = static_cast<std::size_t>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x,
                     at.y, 0, window_.Handle(), nullptr));
  menuOpen_ = false;
  PostMessageW(window_.Handle(), WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= menu_.size() && menu_[chosen - 1].command) {
    menu_[chosen - 1].command();
  }
}

}  // namespace tsukio
