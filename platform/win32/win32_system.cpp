#include "platform/win32/win32_system.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace tsukio {

namespace chr = std::chrono;

namespace {

// FILETIME counts 100-nanosecond steps from 1601-01-01; the Unix epoch is this many later.
constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000LL;

SYSTEMTIME ToSystemTime(const SystemTimeFields& f) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(f.year);
  st.wMonth = static_cast<WORD>(f.month);
  st.wDay = static_cast<WORD>(f.day);
  st.wDayOfWeek = static_cast<WORD>(f.weekday);
  st.wHour = static_cast<WORD>(f.hour);
  st.wMinute = static_cast<WORD>(f.minute);
  st.wSecond = static_cast<WORD>(f.second);
  st.wMilliseconds = static_cast<WORD>(f.millisecond);
  return st;
}

}  // namespace

LocalDateTime Win32Clock::Now() const {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return LocalDateTime{chr::year{local.wYear} / local.wMonth / local.wDay, local.wHour,
                       local.wMinute, local.wSecond};
}

std::uint32_t Win32TickCounter::Milliseconds() const {
  return static_cast<std::uint32_t>(GetTickCount64());
}

UtcTime Win32UtcClock::Now() const {
  FILETIME ft{};
  GetSystemTimePreciseAsFileTime(&ft);
  const std::int64_t ticks =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) |
                                ft.dwLowDateTime);
  return UtcTime{chr::milliseconds{(ticks - kUnixEpochIn100ns) / 10000}};
}

std::optional<LocalTimestamp> Win32UtcClock::ToLocal(UtcTime utc) const {
  const SYSTEMTIME universal = ToSystemTime(ToSystemTimeFields(utc));
  // The zone's rules for that year, where Windows keeps a history of them.
  TIME_ZONE_INFORMATION zone{};
  const bool ofThatYear = GetTimeZoneInformationForYear(universal.wYear, nullptr, &zone);
  SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(ofThatYear ? &zone : nullptr, &universal, &local)) {
    return std::nullopt;
  }
  return LocalTimestamp{chr::year{local.wYear} / local.wMonth / local.wDay, local.wHour,
                        local.wMinute, local.wSecond, local.wMilliseconds};
}

SystemTimeFields ToSystemTimeFields(UtcTime utc) {
  const auto day = chr::floor<chr::days>(utc);
  const chr::year_month_day date{day};
  const chr::hh_mm_ss<chr::milliseconds> time{utc - day};
  return SystemTimeFields{static_cast<int>(date.year()),
                          static_cast<int>(static_cast<unsigned>(date.month())),
                          static_cast<int>(static_cast<unsigned>(date.day())),
                          static_cast<int>(chr::weekday{day}.c_encoding()),
                          static_cast<int>(time.hours().count()),
                          static_cast<int>(time.minutes().count()),
                          static_cast<int>(time.seconds().count()),
                          static_cast<int>(time.subseconds().count())};
}

unsigned long Win32ClockSetter::SetSystemClock(const SystemTimeFields& time) {
  // The privilege is held by administrators but off until a program turns it on.
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &privileges.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  const SYSTEMTIME st = ToSystemTime(time);
  return SetSystemTime(&st) ? 0 : GetLastError();
}

std::string Win32ClockSetter::SetUtc(UtcTime utc) {
  const unsigned long error = setter_(ToSystemTimeFields(utc));
  if (error == 0) return {};
  if (error == ERROR_PRIVILEGE_NOT_HELD || error == ERROR_ACCESS_DENIED) {
    return "this user may not set the clock: " + SystemErrorText(error);
  }
  return SystemErrorText(error);
}

std::string SystemErrorText(unsigned long code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 && buffer != nullptr ? std::wstring(buffer, length) : L"";
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : Narrow(text);
}

Win32SingleInstance::Win32SingleInstance(const std::string& name) {
  mutex_ = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
  // A mutex that cannot even be made lets this copy run: refusing to start is worse.
  first_ = mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

Win32SingleInstance::~Win32SingleInstance() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

std::string ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::string ProgramName() {
  const std::string exe = ExecutablePath();
  if (exe.empty()) return "tsukio.exe";
  const auto slash = exe.find_last_of("\\/");
  return slash == std::string::npos ? exe : exe.substr(slash + 1);
}

}  // namespace tsukio
