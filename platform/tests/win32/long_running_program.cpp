// A program for the process tests on Windows: it has no window and no console, and runs
// until it is ended, or for two minutes at most, so that a test that fails half-way never
// leaves it running for long.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(2 * 60 * 1000);
  return 0;
}
