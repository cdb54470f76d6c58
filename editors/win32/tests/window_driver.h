// Tools for driving the editors' windows from a second thread, as a user (or an automation
// tool) would: the windows are found by title and control name, and each action is a
// window message to the control. A watch on the thread that shows the windows tells when
// a window was shown and when that thread has taken a message, so that nothing waits
// for a time.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "editors/form.h"
#include "editors/form_script.h"

namespace dav::editors::win32::testing {

// Installed on the thread that shows the windows (the UI thread); its waits are called
// from another thread.
class UiThreadWatch {
 public:
  UiThreadWatch();
  ~UiThreadWatch();
  UiThreadWatch(const UiThreadWatch&) = delete;
  UiThreadWatch& operator=(const UiThreadWatch&) = delete;

  DWORD thread() const { return thread_; }
  // The next top-level window shown with that title (one shown before the call counts),
  // once the UI thread runs its messages; null when none came within a minute, so that a
  // broken view fails instead of hanging.
  HWND WaitForWindow(const std::string& title);
  // Posts a marker behind the messages posted to the UI thread so far and waits until it
  // has taken it: what they started has finished or opened a modal window. The UI thread
  // must keep taking messages (PumpUntil) after its windows have closed.
  bool Settle();

 private:
  static LRESULT CALLBACK ShowHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam);

  DWORD thread_;
  HHOOK shows_ = nullptr;
  HHOOK messages_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<HWND> shown_;
  WPARAM fetched_ = 0;
  WPARAM posted_ = 0;
};

// Runs ui on this thread (the watch's) and driver on a second thread, and takes this
// thread's messages after ui has returned until the driver has finished.
void RunWithDriver(const std::function<void()>& ui, const std::function<void()>& driver);

// The controls of a form's window by control name, "chkStartMenu(4)" or "cmdOK".
std::map<std::string, HWND> ControlsOf(HWND form);
std::string WindowText(HWND window);
// The visible window of the UI thread that takes input: the innermost open form, or a
// message box; null when every window has closed.
HWND ActiveWindowOf(DWORD thread);
// The text of a message box: its title, ": ", its message, as the script driver records it.
std::string MessageBoxText(HWND box);

// Tab t, or side menu entry m of the shown tab, chosen as a click on it would.
void ChooseTab(HWND form, int tab);
void ChooseMenu(HWND form, int entry);

// A PNG picture of the window and its children, under the name given.
bool Screenshot(HWND window, const std::string& path);

// Carries out a script of the script driver on the windows the UI thread shows, from the
// editor's window with the title given on; every action is what a user does on the
// control. Actions that need the mouse over a cell (hover) or the folder browser (browse)
// are not carried out: error() names them.
class WindowScript {
 public:
  WindowScript(UiThreadWatch& watch, std::vector<ScriptAction> actions)
      : watch_(watch), actions_(std::move(actions)) {}

  // Whatever the script left open is closed by its close box.
  void Run(const std::string& editorTitle);
  // The actions on a window already found; what they leave open stays open.
  void RunOn(HWND form);
  // Every window of the UI thread closed by its close box, innermost first.
  void CloseAll();

  const std::string& error() const { return error_; }
  const std::vector<std::string>& messages() const { return messages_; }

 private:
  void Perform(HWND form, const ScriptAction& action);
  // Posts a click on a button and lets what it opens come up; message boxes are recorded
  // and answered with OK.
  void PressAndSettle(HWND button);
  HWND Control(HWND form, const ScriptAction& action, std::size_t arg);

  UiThreadWatch& watch_;
  std::vector<ScriptAction> actions_;
  std::string error_;
  std::vector<std::string> messages_;
};

}  // namespace dav::editors::win32::testing
