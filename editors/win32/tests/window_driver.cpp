#include "editors/win32/tests/window_driver.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "editors/win32/form_window.h"
#include "editors/win32/tests/png_file.h"
#include "platform/win32/text.h"

namespace dav::editors::win32::testing {
namespace {

using platform::win32::FromWide;
using platform::win32::ToWide;

constexpr UINT kMarker = WM_APP + 0x2A;
constexpr auto kPatience = std::chrono::seconds(60);

UiThreadWatch* g_watch = nullptr;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

HWND VisibleChildOfClass(HWND parent, const wchar_t* windowClass) {
  struct Search {
    const wchar_t* windowClass;
    HWND found;
  } search{windowClass, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsWindowVisible(child) && _wcsicmp(ClassOf(child).c_str(), s->windowClass) == 0) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Paints the window (its frame too when it is top-level) and its visible children, each
// at its place, into dc at the origin of the top-level window.
void PaintInto(HDC dc, HWND window, POINT origin) {
  RECT place;
  GetWindowRect(window, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  HDC own = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ old = SelectObject(own, bitmap);
  // What the window does not print itself (Wine leaves a border or two) stays the face
  // colour, as on the screen.
  RECT all{0, 0, width, height};
  FillRect(own, &all, GetSysColorBrush(COLOR_BTNFACE));
  PrintWindow(window, own, 0);
  BitBlt(dc, place.left - origin.x, place.top - origin.y, width, height, own, 0, 0, SRCCOPY);
  SelectObject(own, old);
  DeleteObject(bitmap);
  DeleteDC(own);
  // Children from the bottom of the z-order up.
  for (HWND child = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDLAST); child;
       child = GetWindow(child, GW_HWNDPREV)) {
    if (IsWindowVisible(child)) PaintInto(dc, child, origin);
  }
}

}  // namespace

UiThreadWatch::UiThreadWatch() : thread_(GetCurrentThreadId()) {
  g_watch = this;
  shows_ = SetWindowsHookExW(WH_CALLWNDPROC, ShowHook, nullptr, thread_);
  messages_ = SetWindowsHookExW(WH_GETMESSAGE, MessageHook, nullptr, thread_);
}

UiThreadWatch::~UiThreadWatch() {
  UnhookWindowsHookEx(shows_);
  UnhookWindowsHookEx(messages_);
  g_watch = nullptr;
}

LRESULT CALLBACK UiThreadWatch::ShowHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  // A top-level window being shown (whether or not it gets the focus).
  if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam && g_watch &&
      !(GetWindowLongW(call->hwnd, GWL_STYLE) & WS_CHILD)) {
    std::lock_guard lock(g_watch->mutex_);
    g_watch->shown_.push_back(call->hwnd);
    g_watch->changed_.notify_all();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK UiThreadWatch::MessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && (wParam & PM_REMOVE) && message->message == kMarker && g_watch) {
    std::lock_guard lock(g_watch->mutex_);
    g_watch->fetched_ = std::max(g_watch->fetched_, message->wParam);
    g_watch->changed_.notify_all();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HWND UiThreadWatch::WaitForWindow(const std::string& title) {
  HWND found = nullptr;
  {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, kPatience, [&] {
      for (auto at = shown_.begin(); at != shown_.end(); ++at) {
        if (IsWindow(*at) && WindowText(*at) == title) {
          found = *at;
          shown_.erase(shown_.begin(), at + 1);
          return true;
        }
      }
      return false;
    });
  }
  // Being shown: it is up once the UI thread takes messages again.
  if (found && !Settle()) return nullptr;
  return found;
}

bool UiThreadWatch::Settle() {
  WPARAM number;
  {
    std::lock_guard lock(mutex_);
    number = ++posted_;
  }
  // A thread message: it is taken also when the window it follows has gone.
  if (!PostThreadMessageW(thread_, kMarker, number, 0)) return false;
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kPatience, [&] { return fetched_ >= number; });
}

void RunWithDriver(const std::function<void()>& ui, const std::function<void()>& driver) {
  auto* job = new std::function<void()>(driver);
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](LPVOID data) -> DWORD {
        auto* run = static_cast<std::function<void()>*>(data);
        (*run)();
        delete run;
        return 0;
      },
      job, 0, nullptr);
  ui();
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  CloseHandle(thread);
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return FromWide(text);
}

std::map<std::string, HWND> ControlsOf(HWND form) {
  std::map<std::string, HWND> controls;
  EnumChildWindows(
      form,
      [](HWND child, LPARAM data) -> BOOL {
        const std::string name = ControlNameOf(child);
        if (!name.empty()) (*reinterpret_cast<std::map<std::string, HWND>*>(data))[name] = child;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&controls));
  return controls;
}

HWND ActiveWindowOf(DWORD thread) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        const std::wstring windowClass = ClassOf(window);
        if (IsWindowVisible(window) && IsWindowEnabled(window) &&
            (windowClass == kFormWindowClass || windowClass == L"#32770")) {
          *reinterpret_cast<HWND*>(data) = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string MessageBoxText(HWND box) {
  // The message is the static text with the id 0xFFFF.
  return WindowText(box) + ": " + WindowText(GetDlgItem(box, 0xFFFF));
}

void ChooseTab(HWND form, int tab) {
  HWND tabs = VisibleChildOfClass(form, WC_TABCONTROLW);
  SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
  NMHDR header{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(form, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void ChooseMenu(HWND form, int entry) {
  HWND menu = VisibleChildOfClass(form, L"ListBox");
  SendMessageW(menu, LB_SETCURSEL, entry, 0);
  SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(menu), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(menu));
}

bool Screenshot(HWND window, const std::string& path) {
  RECT place;
  GetWindowRect(window, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  PaintInto(dc, window, POINT{place.left, place.top});
  GdiFlush();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                3);
  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
    rgb[i * 3] = pixels[i * 4 + 2];
    rgb[i * 3 + 1] = pixels[i * 4 + 1];
    rgb[i * 3 + 2] = pixels[i * 4];
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return WritePng(path, width, height, rgb);
}

void WindowScript::Run(const std::string& editorTitle) {
  HWND form = watch_.WaitForWindow(editorTitle);
  if (!form) {
    error_ = "no window \"" + editorTitle + "\" came up";
    return;
  }
  RunOn(form);
  CloseAll();
}

void WindowScript::RunOn(HWND form) {
  for (const ScriptAction& action : actions_) {
    form = ActiveWindowOf(watch_.thread());
    if (!form) break;
    try {
      Perform(form, action);
    } catch (const std::exception& e) {
      error_ = "line " + std::to_string(action.line) + ": " + e.what();
      break;
    }
  }
}

void WindowScript::CloseAll() {
  // Innermost first, each by its close box.
  while (HWND open = ActiveWindowOf(watch_.thread())) {
    PostMessageW(open, WM_CLOSE, 0, 0);
    if (!watch_.Settle()) break;
  }
}

HWND WindowScript::Control(HWND form, const ScriptAction& action, std::size_t arg) {
  const std::map<std::string, HWND> controls = ControlsOf(form);
  if (action.quoted[arg]) {
    for (const auto& [name, window] : controls) {
      if (WindowText(window) == action.args[arg]) return window;
    }
    throw std::runtime_error("no control with the caption \"" + action.args[arg] + "\"");
  }
  const auto found = controls.find(action.args[arg]);
  if (found == controls.end()) throw std::runtime_error("no control " + action.args[arg]);
  if (!IsWindowEnabled(found->second)) throw std::runtime_error(action.args[arg] + " is disabled");
  return found->second;
}

void WindowScript::PressAndSettle(HWND button) {
  PostMessageW(button, BM_CLICK, 0, 0);
  if (!watch_.Settle()) throw std::runtime_error("the window did not take the click");
  for (HWND box = ActiveWindowOf(watch_.thread()); box && ClassOf(box) == L"#32770";
       box = ActiveWindowOf(watch_.thread())) {
    messages_.push_back(MessageBoxText(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    if (!watch_.Settle()) throw std::runtime_error("the message box stayed");
  }
}

void WindowScript::Perform(HWND form, const ScriptAction& action) {
  const std::string& verb = action.verb;
  const auto named = [&](const std::string& name) {
    const std::map<std::string, HWND> controls = ControlsOf(form);
    const auto found = controls.find(name);
    if (found == controls.end()) throw std::runtime_error("no control " + name);
    return found->second;
  };
  if (verb == "check" || verb == "uncheck") {
    HWND box = Control(form, action, 0);
    const bool checked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != (verb == "check")) SendMessageW(box, BM_CLICK, 0, 0);
  } else if (verb == "click") {
    HWND control = Control(form, action, 0);
    if ((GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_PUSHBUTTON) {
      PressAndSettle(control);
    } else {
      SendMessageW(control, BM_CLICK, 0, 0);
    }
  } else if (verb == "select") {
    HWND list = Control(form, action, 0);
    const LRESULT item = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(ToWide(action.args[1]).c_str()));
    if (item == CB_ERR) throw std::runtime_error("no item \"" + action.args[1] + "\"");
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  } else if (verb == "text") {
    SendMessageW(Control(form, action, 0), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(ToWide(action.args[1]).c_str()));
  } else if (verb == "cell" || verb == "current") {
    HWND grid = Control(form, action, 0);
    // A grid with header rows shows its column headers: one header row in these forms.
    const int header = (GetWindowLongW(grid, GWL_STYLE) & LVS_NOCOLUMNHEADER) ? 0 : 1;
    const int row = std::stoi(action.args[1]) - header;
    LVITEMW item{};
    if (verb == "cell") {
      if (action.args[2] != "check") throw std::runtime_error("only check cells can be edited");
      item.stateMask = LVIS_STATEIMAGEMASK;
      item.state = INDEXTOSTATEIMAGEMASK(action.args[3] == "True" ? 2 : 1);
    } else {
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      item.state = LVIS_SELECTED | LVIS_FOCUSED;
    }
    SendMessageW(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  } else if (verb == "tab") {
    ChooseTab(form, std::stoi(action.args[0]));
  } else if (verb == "menu") {
    ChooseMenu(form, std::stoi(action.args[0]));
  } else if (verb == "add") {
    SendMessageW(named("txtPath"), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(ToWide(action.args[0]).c_str()));
    PressAndSettle(named("cmdInsert"));
  } else if (verb == "ok" || verb == "cancel") {
    PressAndSettle(named(verb == "ok" ? "cmdOK" : "cmdCancel"));
  } else if (verb == "close" || (verb == "choose" && action.args[0] == "close")) {
    PostMessageW(form, WM_CLOSE, 0, 0);
    watch_.Settle();
  } else if (verb == "choose") {
    PressAndSettle(named(action.args[0] == "6" ? "Command1" : "Command2"));
  } else {
    throw std::runtime_error("'" + verb + "' is not carried out on windows");
  }
}

}  // namespace dav::editors::win32::testing
