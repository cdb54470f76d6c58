// Test processes and windows on Windows: copies of the helper program that the build puts
// beside the tests (DAV_LONG_RUNNING_PROGRAM), and windows of the test's own thread.
#include <string>
#include <vector>

#include "platform/tests/test_programs.h"
#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::testing {
namespace {

constexpr DWORD kEndWaitMilliseconds = 10000;
constexpr char kWindowClass[] = "DavTestWindow";

// The helper program's Windows path. The build names it by its host path; under Wine the
// host's root is drive Z:.
std::string HelperProgramPath() {
  std::string path = DAV_LONG_RUNNING_PROGRAM;
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    path = "Z:" + path;
  }
  return path;
}

bool RegisterWindowClass() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

std::string UniqueProgramName(const std::string& stem) {
  return stem + std::to_string(GetCurrentProcessId()) + ".exe";
}

std::string PlaceLongRunningProgram(TestEnvironment& env, const std::string& fileName) {
  const std::string target = env.scratchFolder() + "\\" + fileName;
  CopyFileW(win32::ToWide(HelperProgramPath()).c_str(), win32::ToWide(target).c_str(), TRUE);
  return target;
}

bool WaitUntilStarted(Platform& /*platform*/, std::uint32_t processId) {
  const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
  if (process == nullptr) return false;
  const DWORD result = WaitForInputIdle(process, kEndWaitMilliseconds);
  CloseHandle(process);
  return result == 0;
}

std::uint32_t WaitForOneToEnd(Platform& /*platform*/,
                              const std::vector<std::uint32_t>& processIds) {
  std::vector<HANDLE> handles;
  std::uint32_t ended = 0;
  for (const std::uint32_t processId : processIds) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) {
      ended = processId;  // gone already
      break;
    }
    handles.push_back(process);
  }
  if (ended == 0 && !handles.empty()) {
    const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(),
                                                FALSE, kEndWaitMilliseconds);
    if (result < WAIT_OBJECT_0 + handles.size()) ended = processIds[result - WAIT_OBJECT_0];
  }
  for (const HANDLE process : handles) CloseHandle(process);
  return ended;
}

WindowHandle OpenTestWindow(Platform& /*platform*/, const std::string& title) {
  if (!RegisterWindowClass()) return kNoWindow;
  const HWND window =
      CreateWindowExA(0, kWindowClass, win32::ToAnsi(title).c_str(), WS_OVERLAPPED, 0, 0, 100, 100,
                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return reinterpret_cast<WindowHandle>(window);
}

void DestroyTestWindow(Platform& /*platform*/, WindowHandle window) {
  const HWND handle = reinterpret_cast<HWND>(window);
  if (window != kNoWindow && IsWindow(handle)) DestroyWindow(handle);
}

}  // namespace dav::platform::testing
