// A program for the process tests on Windows: it has no window and no console, and runs
// until it is ended, or for two minutes at most, so that a test that fails half-way never
// leaves it running for long. It waits in a message loop, so that a test can wait until it
// has finished starting (WaitForInputIdle) before asking for its modules.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  SetTimer(nullptr, 0, 2 * 60 * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) break;
    DispatchMessageW(&message);
  }
  return 0;
}
