// The native window of a form model. Each control of the form becomes one child window of
// the matching class; what the user does with it goes to the form as the same call the
// script driver makes, and after every call Refresh sets all controls from the form again,
// so the rules live in the form alone. Each control window carries the control's name,
// "chkStartMenu(4)" or "cmdOK", as the window property kControlProperty (a global atom), so
// that tests and tools find it.
//
// Layout: the form's area is laid out in rows from the top, in pixels at 96 DPI scaled to
// the screen's DPI. A form with tabs shows its tab headers, each tab's title, the side menu
// (the selected entry painted RGB 176, 204, 255) and title bar; each side menu entry has a
// panel of its own, and only the shown panel's controls are visible.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editors/form.h"

namespace dav::editors::win32 {

inline constexpr wchar_t kControlProperty[] = L"DavControl";
// The window class of the forms' top-level windows.
inline constexpr wchar_t kFormWindowClass[] = L"DavFormWindow";

// The control name a window carries, empty for none.
std::string ControlNameOf(HWND window);

// One cell of a layout row: a control of the form, or a fixed text. width 0 shares the
// row's free width with the other cells of width 0.
struct Cell {
  std::string control;  // empty for a text
  int index = 0;
  std::string text;
  int width = 0;
};
inline Cell Control(std::string name, int index = 0, int width = 0) {
  return Cell{std::move(name), index, {}, width};
}
inline Cell Text(std::string text, int width = 0) {
  return Cell{{}, 0, std::move(text), width};
}

class FormWindow {
 public:
  // A window of width x height pixels at 96 DPI, not yet shown.
  FormWindow(Form& form, HWND owner, int width, int height);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  HWND window() const { return window_; }

  // The tab headers, titles, title bars and side menus of the form's tabs; the buttons'
  // bar below them is buttonBarHeight high.
  void AddTabs(int buttonBarHeight);
  // Where the following rows go: the panel of a side menu entry of a tab, or (tab -1) the
  // area below the tabs (the whole client area for a form without tabs).
  void Panel(int tab, int menu);
  // A row of cells, height pixels high; a stretched row takes the height left in the panel
  // but height.
  void Row(const std::vector<Cell>& cells, int height = 22, bool stretch = false);
  // Skips vertical space.
  void Gap(int height) { y_ += height; }

  // Sets every control from the form.
  void Refresh();
  // Shows the window and runs its messages until the form has closed.
  void RunModal();

 private:
  struct Bound {
    HWND window = nullptr;
    Form::Kind kind = Form::Kind::kNone;
    std::string name;
    int index = 0;
    int tab = -1;
    int menu = -1;
    std::vector<int> columns;  // a grid's shown model columns
  };
  struct TabParts {
    HWND title = nullptr;
    HWND bar = nullptr;
    HWND menu = nullptr;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK GridProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(int id, int code);
  LRESULT Notify(const NMHDR& header);
  void GridHover(Bound& grid, POINT point);
  void DrawMenuEntry(const DRAWITEMSTRUCT& item);
  // After a call to the form: the controls follow it, and the loop ends once it closed.
  void Changed();

  int Scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  HWND Create(const wchar_t* windowClass, const std::string& text, DWORD style, RECT place, int id,
              DWORD exStyle = 0);
  HWND CreateControl(const Cell& cell, RECT place);
  void CreateGrid(Bound& bound, RECT place);
  void RefreshGrid(Bound& bound);
  Bound* Find(int id);

  Form& form_;
  HWND window_ = nullptr;
  HWND tabs_ = nullptr;
  HWND toolTip_ = nullptr;
  HFONT font_ = nullptr;
  HFONT titleFont_ = nullptr;
  HBRUSH barBrush_ = nullptr;
  HBRUSH menuBrush_ = nullptr;
  int dpi_ = 96;
  std::vector<Bound> bound_;  // control id = kFirstId + position
  std::vector<TabParts> tabParts_;
  std::vector<std::pair<HWND, std::pair<int, int>>> texts_;  // fixed texts and their panel
  RECT area_{};                                              // the current panel, in client pixels
  int y_ = 0;
  int tab_ = -1;
  int menu_ = -1;
  int buttonBar_ = 0;
  bool refreshing_ = false;
};

}  // namespace dav::editors::win32
