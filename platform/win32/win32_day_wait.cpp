#include "platform/win32/win32_day_wait.h"

namespace tsukio {

Win32DayWait::~Win32DayWait() {
  if (timer_ != nullptr) CloseHandle(timer_);
}

SleepEnd Win32DayWait::SleepUntil(const LocalDateTime& wake) {
  if (timer_ == nullptr) timer_ = CreateWaitableTimerW(nullptr, TRUE, nullptr);
  if (timer_ == nullptr) return SleepEnd::kCannotSleep;
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(static_cast<int>(wake.date.year()));
  local.wMonth = static_cast<WORD>(static_cast<unsigned>(wake.date.month()));
  local.wDay = static_cast<WORD>(static_cast<unsigned>(wake.date.day()));
  local.wHour = static_cast<WORD>(wake.hour);
  local.wMinute = static_cast<WORD>(wake.minute);
  local.wSecond = static_cast<WORD>(wake.second);
  local.wMilliseconds = static_cast<WORD>(wake.millisecond);
  SYSTEMTIME utc{};
  FILETIME due{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &due))
    return SleepEnd::kCannotSleep;
  // A positive due time is absolute, in 100 ns since 1601 (UTC).
  LARGE_INTEGER at{};
  at.LowPart = due.dwLowDateTime;
  at.HighPart = static_cast<LONG>(due.dwHighDateTime);
  if (!SetWaitableTimer(timer_, &at, 0, nullptr, nullptr, FALSE)) return SleepEnd::kCannotSleep;
  return WaitForSingleObject(timer_, INFINITE) == WAIT_OBJECT_0 ? SleepEnd::kWoken
                                                                : SleepEnd::kCannotSleep;
}

}  // namespace tsukio
