#include "platform/win32/clock.h"

#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {
namespace {

// How long one pump waits for a message when none is pending.
constexpr DWORD kPumpWaitMilliseconds = 10;

void DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

LocalTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::chrono::year_month_day day{std::chrono::year(now.wYear),
                                        std::chrono::month(now.wMonth), std::chrono::day(now.wDay)};
  return LocalTime(std::chrono::local_days(day).time_since_epoch()) +
         std::chrono::hours(now.wHour) + std::chrono::minutes(now.wMinute) +
         std::chrono::seconds(now.wSecond) + std::chrono::milliseconds(now.wMilliseconds);
}

void Win32Clock::PumpMessages() {
  DispatchPending();
  if (MsgWaitForMultipleObjectsEx(0, nullptr, kPumpWaitMilliseconds, QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0) {
    DispatchPending();
  }
}

}  // namespace dav::platform::win32
