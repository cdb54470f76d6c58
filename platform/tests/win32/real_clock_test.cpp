// The real clock of the Windows backend: local time as Windows keeps it, and a message pump
// that runs the window messages waiting for this thread.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/win32/clock.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {
namespace {

using namespace std::chrono;

LocalTime FromSystemTime(const SYSTEMTIME& t) {
  return LocalTime(local_days(year(t.wYear) / t.wMonth / t.wDay).time_since_epoch()) +
         hours(t.wHour) + minutes(t.wMinute) + seconds(t.wSecond) + milliseconds(t.wMilliseconds);
}

TEST(RealClock, NowIsWindowsLocalTime) {
  Win32Clock clock;
  SYSTEMTIME before;
  GetLocalTime(&before);
  const LocalTime now = clock.Now();
  SYSTEMTIME after;
  GetLocalTime(&after);
  EXPECT_LE(FromSystemTime(before), now) << "Now() must be GetLocalTime, day and month included";
  EXPECT_LE(now, FromSystemTime(after));
}

// A message-only window that counts what reaches it.
class CountingWindow {
 public:
  CountingWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &CountingWindow::Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~CountingWindow() {
    DestroyWindow(window_);
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
  }
  CountingWindow(const CountingWindow&) = delete;
  CountingWindow& operator=(const CountingWindow&) = delete;

  HWND handle() const { return window_; }
  int received() const { return received_; }
  void Post() { PostMessageA(window_, kTestMessage, 0, 0); }

 private:
  static constexpr const char* kClassName = "DavPumpTestWindow";
  static constexpr UINT kTestMessage = WM_APP + 1;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CountingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kTestMessage && self != nullptr) {
      ++self->received_;
      return 0;
    }
    return DefWindowProcA(window, message, w, l);
  }

  HWND window_ = nullptr;
  int received_ = 0;
};

TEST(RealClock, PumpMessagesRunsWhatIsWaiting) {
  CountingWindow window;
  ASSERT_NE(window.handle(), nullptr) << "CreateWindowExA of a message-only window";
  window.Post();
  window.Post();
  Win32Clock clock;
  clock.PumpMessages();
  EXPECT_EQ(window.received(), 2) << "one pump dispatches every posted message (DoEvents)";
  clock.PumpMessages();
  EXPECT_EQ(window.received(), 2) << "an empty queue: the pump returns without a message";
}

}  // namespace
}  // namespace dav::platform::win32
