#include "editors/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "editors/win32/ui_font.h"
#include "platform/win32/text.h"

namespace dav::editors::win32 {
namespace {

using platform::win32::FromWide;
using platform::win32::ToWide;

constexpr int kFirstId = 1000;
constexpr int kTabsId = 3;  // clear of IDOK and IDCANCEL
constexpr int kFirstMenuId = 10;
constexpr int kMenuWidth = 150;
constexpr COLORREF kMenuSelected = RGB(176, 204, 255);
constexpr COLORREF kBar = RGB(90, 120, 170);

// Twips (1/1440 inch) as pixels at 96 DPI.
int Pixels(int twips) {
  return twips / 15;
}

std::string Named(const Form& form, const std::string& control, int index) {
  return form.Count(control) > 1 ? control + "(" + std::to_string(index) + ")" : control;
}

void RegisterFormClass() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;  // replaced when the window is created
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFormWindowClass;
    RegisterClassExW(&windowClass);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    return true;
  }();
  (void)registered;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

std::string ControlNameOf(HWND window) {
  const auto atom =
      static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(window, kControlProperty)));
  if (!atom) return {};
  wchar_t name[256];
  const UINT length = GlobalGetAtomNameW(atom, name, 256);
  return FromWide(std::wstring_view(name, length));
}

FormWindow::FormWindow(Form& form, HWND owner, int width, int height) : form_(form) {
  RegisterFormClass();
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;
  font_ = CreateUiFont();
  titleFont_ = CreateUiFont(true, 130);
  barBrush_ = CreateSolidBrush(kBar);
  menuBrush_ = CreateSolidBrush(kMenuSelected);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME;
  RECT frame{0, 0, Scale(width), Scale(height)};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kFormWindowClass,
                            ToWide(form.caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::Procedure));
  GetClientRect(window_, &area_);
  toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                             window_, nullptr, GetModuleHandleW(nullptr), nullptr);
}

FormWindow::~FormWindow() {
  for (const Bound& bound : bound_) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(bound.window, kControlProperty)));
    if (atom) GlobalDeleteAtom(atom);
    if (bound.kind == Form::Kind::kGrid) RemoveWindowSubclass(bound.window, GridProcedure, 0);
  }
  if (window_) DestroyWindow(window_);
  DeleteObject(font_);
  DeleteObject(titleFont_);
  DeleteObject(barBrush_);
  DeleteObject(menuBrush_);
}

HWND FormWindow::Create(const wchar_t* windowClass, const std::string& text, DWORD style,
                        RECT place, int id, DWORD exStyle) {
  HWND child = CreateWindowExW(
      exStyle, windowClass, ToWide(text).c_str(), WS_CHILD | style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return child;
}

void FormWindow::AddTabs(int buttonBarHeight) {
  buttonBar_ = Scale(buttonBarHeight);
  RECT client;
  GetClientRect(window_, &client);
  const int margin = Scale(6);
  RECT tabArea{client.left + margin, client.top + margin, client.right - margin,
               client.bottom - buttonBar_};
  tabs_ = Create(WC_TABCONTROLW, "", WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, tabArea, kTabsId);
  for (std::size_t t = 0; t < form_.tabs.size(); ++t) {
    const std::wstring caption = ToWide(form_.tabs[t].caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    SendMessageW(tabs_, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
  }
  RECT inner = tabArea;
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inner));
  for (std::size_t t = 0; t < form_.tabs.size(); ++t) {
    const TabPage& page = form_.tabs[t];
    TabParts parts;
    parts.title = Create(L"STATIC", page.title, SS_LEFT,
                         {inner.left + margin, inner.top + margin, inner.right - margin,
                          inner.top + margin + Scale(26)},
                         0);
    SendMessageW(parts.title, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    const int top = inner.top + margin + Scale(32);
    parts.menu = Create(
        L"LISTBOX", "",
        WS_TABSTOP | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
        {inner.left + margin, top, inner.left + margin + Scale(kMenuWidth), inner.bottom - margin},
        kFirstMenuId + static_cast<int>(t), WS_EX_CLIENTEDGE);
    SendMessageW(parts.menu, LB_SETITEMHEIGHT, 0, Scale(24));
    for (const std::string& entry : page.menu) {
      SendMessageW(parts.menu, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry).c_str()));
    }
    const int left = inner.left + 2 * margin + Scale(kMenuWidth);
    parts.bar = Create(L"STATIC", " " + page.titleBar, SS_LEFT | SS_CENTERIMAGE,
                       {left, top, inner.right - margin, top + Scale(22)}, 0);
    tabParts_.push_back(parts);
  }
  // The panels of the side menu entries: right of the menu, below the title bar.
  area_ = {inner.left + 2 * margin + Scale(kMenuWidth), inner.top + margin + Scale(60),
           inner.right - margin, inner.bottom - margin};
}

void FormWindow::Panel(int tab, int menu) {
  tab_ = tab;
  menu_ = menu;
  RECT client;
  GetClientRect(window_, &client);
  const int margin = Scale(8);
  if (tab >= 0) {
    if (!tabs_) return;
    RECT inner;
    GetWindowRect(tabs_, &inner);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&inner), 2);
    SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&inner));
    area_ = {inner.left + Scale(12) + Scale(kMenuWidth), inner.top + Scale(6) + Scale(60),
             inner.right - Scale(6), inner.bottom - Scale(6)};
  } else if (tabs_) {
    area_ = {client.left + margin, client.bottom - buttonBar_ + margin / 2, client.right - margin,
             client.bottom - margin / 2};
  } else {
    area_ = {client.left + margin, client.top + margin, client.right - margin,
             client.bottom - margin};
  }
  y_ = area_.top;
}

void FormWindow::Row(const std::vector<Cell>& cells, int height, bool stretch) {
  const int gap = Scale(6);
  // A stretched row leaves height below it.
  const int rowHeight = stretch ? area_.bottom - y_ - Scale(height) : Scale(height);
  int fixed = 0;
  int shared = 0;
  for (const Cell& cell : cells) {
    if (cell.width > 0) {
      fixed += Scale(cell.width);
    } else {
      ++shared;
    }
  }
  const int free = area_.right - area_.left - fixed - gap * (static_cast<int>(cells.size()) - 1);
  const int share = shared > 0 ? std::max(0, free / shared) : 0;
  int x = area_.left;
  for (const Cell& cell : cells) {
    const int width = cell.width > 0 ? Scale(cell.width) : share;
    const RECT place{x, y_, x + width, y_ + rowHeight};
    if (cell.control.empty()) {
      // One line is centred in its row; a higher row wraps the text.
      const DWORD lines = rowHeight > Scale(26) ? 0 : SS_CENTERIMAGE;
      HWND text = Create(L"STATIC", cell.text, SS_LEFT | SS_NOPREFIX | lines, place, 0);
      texts_.push_back({text, {tab_, menu_}});
    } else {
      CreateControl(cell, place);
    }
    x += width + gap;
  }
  y_ += rowHeight + Scale(4);
}

HWND FormWindow::CreateControl(const Cell& cell, RECT place) {
  Bound bound;
  bound.name = cell.control;
  bound.index = cell.index;
  bound.kind = form_.KindOf(cell.control);
  bound.tab = tab_;
  bound.menu = menu_;
  const int id = kFirstId + static_cast<int>(bound_.size());
  const auto at = static_cast<std::size_t>(cell.index);
  switch (bound.kind) {
    case Form::Kind::kCheck:
      bound.window = Create(L"BUTTON", form_.Checks(cell.control)[at].caption,
                            WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE, place, id);
      break;
    case Form::Kind::kOption:
      bound.window = Create(L"BUTTON", form_.Options(cell.control)[at].caption,
                            WS_TABSTOP | BS_RADIOBUTTON, place, id);
      break;
    case Form::Kind::kList:
      // The height of a drop-down list counts its open list.
      place.bottom = place.top + Scale(220);
      bound.window = Create(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, place, id);
      break;
    case Form::Kind::kText:
      bound.window = Create(L"EDIT", form_.Texts(cell.control)[at].text,
                            WS_TABSTOP | ES_AUTOHSCROLL, place, id, WS_EX_CLIENTEDGE);
      break;
    case Form::Kind::kButton:
      bound.window = Create(L"BUTTON", form_.Buttons(cell.control)[at].caption,
                            WS_TABSTOP | BS_PUSHBUTTON, place, id);
      break;
    case Form::Kind::kGrid:
      CreateGrid(bound, place);
      break;
    case Form::Kind::kNone:
      return nullptr;
  }
  SetPropW(bound.window, kControlProperty,
           reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(
               GlobalAddAtomW(ToWide(Named(form_, cell.control, cell.index)).c_str()))));
  bound_.push_back(std::move(bound));
  return bound_.back().window;
}

void FormWindow::CreateGrid(Bound& bound, RECT place) {
  const int id = kFirstId + static_cast<int>(bound_.size());
  const Grid& grid = form_.Grids(bound.name)[static_cast<std::size_t>(bound.index)];
  DWORD style = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  if (grid.fixedRows == 0) style |= LVS_NOCOLUMNHEADER;
  bound.window = Create(WC_LISTVIEWW, "", style, place, id, WS_EX_CLIENTEDGE);
  DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
  if (!grid.columns.empty() && grid.columns[0].boolean) extended |= LVS_EX_CHECKBOXES;
  SendMessageW(bound.window, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
  int used = 0;
  int flexible = 0;
  for (std::size_t c = 0; c < grid.columns.size(); ++c) {
    const GridColumn& column = grid.columns[c];
    if (column.hidden) continue;
    bound.columns.push_back(static_cast<int>(c));
    if (column.width > 0) {
      used += Scale(Pixels(column.width));
    } else {
      ++flexible;
    }
  }
  const int width = place.right - place.left - GetSystemMetrics(SM_CXVSCROLL) - Scale(4);
  const int rest = flexible > 0 ? std::max(Scale(60), (width - used) / flexible) : 0;
  for (std::size_t shown = 0; shown < bound.columns.size(); ++shown) {
    const GridColumn& column = grid.columns[static_cast<std::size_t>(bound.columns[shown])];
    const std::wstring header = ToWide(column.header);
    LVCOLUMNW lv{};
    lv.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    lv.fmt = column.align == GridColumn::Align::kCenter ? LVCFMT_CENTER : LVCFMT_LEFT;
    // The check boxes stand in the first column, which keeps room for them.
    lv.cx = column.width > 0 ? Scale(Pixels(column.width)) : rest;
    if (shown == 0 && column.boolean) lv.cx = std::max(lv.cx, Scale(24));
    lv.pszText = const_cast<wchar_t*>(header.c_str());
    SendMessageW(bound.window, LVM_INSERTCOLUMNW, shown, reinterpret_cast<LPARAM>(&lv));
  }
  SetWindowSubclass(bound.window, GridProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(bound.window);
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

FormWindow::Bound* FormWindow::Find(int id) {
  const int at = id - kFirstId;
  if (at < 0 || at >= static_cast<int>(bound_.size())) return nullptr;
  return &bound_[static_cast<std::size_t>(at)];
}

void FormWindow::RefreshGrid(Bound& bound) {
  const Grid& grid = form_.Grids(bound.name)[static_cast<std::size_t>(bound.index)];
  HWND list = bound.window;
  const int rows = grid.DataRows();
  int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  while (count > rows) SendMessageW(list, LVM_DELETEITEM, --count, 0);
  for (int r = 0; r < rows; ++r) {
    if (r >= count) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = r;
      item.pszText = const_cast<wchar_t*>(L"");
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (std::size_t shown = 0; shown < bound.columns.size(); ++shown) {
      const int c = bound.columns[shown];
      const GridColumn& column = grid.columns[static_cast<std::size_t>(c)];
      const std::string& text = grid.Cell(r + grid.fixedRows, c);
      LVITEMW item{};
      item.iSubItem = static_cast<int>(shown);
      if (column.boolean && shown == 0) {
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(text == "True" ? 2 : 1);
        SendMessageW(list, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&item));
        continue;
      }
      // The drive picture's key names a picture, not a text: the cell stays empty.
      const std::wstring shownText = column.key == "image" ? std::wstring()
                                     : column.boolean ? (text == "True" ? L"\u2611" : L"\u2610")
                                                      : ToWide(text);
      item.pszText = const_cast<wchar_t*>(shownText.c_str());
      SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
  }
  // The current row is the one selected; without one nothing is.
  const int current = grid.row - grid.fixedRows;
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (current >= 0 && current < rows) {
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, current, reinterpret_cast<LPARAM>(&item));
  } else {
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  }
}

void FormWindow::Refresh() {
  refreshing_ = true;
  const auto shown = [this](int tab, int menu) {
    if (tab < 0) return true;
    if (tab != form_.tab || tab >= static_cast<int>(form_.tabs.size())) return false;
    return menu < 0 || menu == form_.tabs[static_cast<std::size_t>(tab)].menuIndex;
  };
  if (tabs_) SendMessageW(tabs_, TCM_SETCURSEL, form_.tab, 0);
  for (std::size_t t = 0; t < tabParts_.size(); ++t) {
    const int show = static_cast<int>(t) == form_.tab ? SW_SHOW : SW_HIDE;
    ShowWindow(tabParts_[t].title, show);
    ShowWindow(tabParts_[t].bar, show);
    ShowWindow(tabParts_[t].menu, show);
    SendMessageW(tabParts_[t].menu, LB_SETCURSEL, form_.tabs[t].menuIndex, 0);
  }
  for (const auto& [text, panel] : texts_) {
    ShowWindow(text, shown(panel.first, panel.second) ? SW_SHOW : SW_HIDE);
  }
  for (Bound& bound : bound_) {
    const auto at = static_cast<std::size_t>(bound.index);
    bool enabled = true;
    switch (bound.kind) {
      case Form::Kind::kCheck: {
        const CheckBox& model = form_.Checks(bound.name)[at];
        SendMessageW(bound.window, BM_SETCHECK, model.value ? BST_CHECKED : BST_UNCHECKED, 0);
        enabled = model.enabled;
        break;
      }
      case Form::Kind::kOption: {
        const OptionButton& model = form_.Options(bound.name)[at];
        SendMessageW(bound.window, BM_SETCHECK, model.value ? BST_CHECKED : BST_UNCHECKED, 0);
        enabled = model.enabled;
        break;
      }
      case Form::Kind::kList: {
        const ComboBox& model = form_.Lists(bound.name)[at];
        SendMessageW(bound.window, CB_RESETCONTENT, 0, 0);
        for (const ListItem& item : model.items) {
          const LRESULT added = SendMessageW(bound.window, CB_ADDSTRING, 0,
                                             reinterpret_cast<LPARAM>(ToWide(item.text).c_str()));
          SendMessageW(bound.window, CB_SETITEMDATA, added, item.data);
        }
        SendMessageW(bound.window, CB_SETCURSEL, model.listIndex, 0);
        enabled = model.enabled;
        break;
      }
      case Form::Kind::kText: {
        const TextBox& model = form_.Texts(bound.name)[at];
        if (FromWide(WindowText(bound.window)) != model.text) {
          SetWindowTextW(bound.window, ToWide(model.text).c_str());
        }
        enabled = model.enabled;
        break;
      }
      case Form::Kind::kButton:
        enabled = form_.Buttons(bound.name)[at].enabled;
        break;
      case Form::Kind::kGrid:
        RefreshGrid(bound);
        enabled = form_.Grids(bound.name)[at].enabled;
        break;
      case Form::Kind::kNone:
        break;
    }
    EnableWindow(bound.window, enabled);
    ShowWindow(bound.window, shown(bound.tab, bound.menu) ? SW_SHOW : SW_HIDE);
  }
  refreshing_ = false;
}

void FormWindow::Changed() {
  Refresh();
  // The loop may be waiting for a message: a call sent from another thread ends none.
  if (!form_.isOpen()) PostMessageW(window_, WM_NULL, 0, 0);
}

void FormWindow::Command(int id, int code) {
  if (id == IDCANCEL) {
    form_.CloseBox();
    Changed();
    return;
  }
  if (id >= kFirstMenuId && id < kFirstMenuId + static_cast<int>(tabParts_.size())) {
    if (code != LBN_SELCHANGE || refreshing_) return;
    const LRESULT entry = SendMessageW(tabParts_[static_cast<std::size_t>(id - kFirstMenuId)].menu,
                                       LB_GETCURSEL, 0, 0);
    if (entry >= 0) form_.SelectMenu(static_cast<int>(entry));
    Changed();
    return;
  }
  Bound* bound = Find(id);
  if (!bound || refreshing_) return;
  const auto at = static_cast<std::size_t>(bound->index);
  switch (bound->kind) {
    case Form::Kind::kCheck:
      if (code != BN_CLICKED) return;
      form_.SetCheck(bound->name, bound->index, !form_.Checks(bound->name)[at].value);
      break;
    case Form::Kind::kOption:
      if (code != BN_CLICKED) return;
      form_.SelectOption(bound->name, bound->index);
      break;
    case Form::Kind::kButton:
      if (code != BN_CLICKED) return;
      form_.Click(bound->name, bound->index);
      break;
    case Form::Kind::kList:
      if (code != CBN_SELCHANGE) return;
      form_.SelectListItem(bound->name, bound->index,
                           static_cast<int>(SendMessageW(bound->window, CB_GETCURSEL, 0, 0)));
      break;
    case Form::Kind::kText:
      if (code != EN_CHANGE) return;
      form_.SetText(bound->name, bound->index, FromWide(WindowText(bound->window)));
      break;
    default:
      return;
  }
  Changed();
}

LRESULT FormWindow::Notify(const NMHDR& header) {
  if (header.hwndFrom == tabs_ && header.code == TCN_SELCHANGE && !refreshing_) {
    form_.SelectTab(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
    Changed();
    return 0;
  }
  Bound* bound = Find(static_cast<int>(header.idFrom));
  if (!bound || bound->kind != Form::Kind::kGrid || refreshing_) return 0;
  const Grid& grid = form_.Grids(bound->name)[static_cast<std::size_t>(bound->index)];
  if (header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE) || change.iItem < 0) return 0;
    const UINT oldImage = (change.uOldState & LVIS_STATEIMAGEMASK) >> 12;
    const UINT newImage = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
    if (oldImage != 0 && newImage != 0 && oldImage != newImage && !grid.columns.empty()) {
      form_.SetCell(bound->name, bound->index, change.iItem + grid.fixedRows, grid.columns[0].key,
                    newImage == 2 ? "True" : "False");
      Changed();
    } else if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) {
      form_.SetCurrentCell(bound->name, bound->index, change.iItem + grid.fixedRows,
                           bound->columns.empty() ? 0 : bound->columns.back());
      Changed();
    }
  } else if (header.code == NM_CLICK) {
    const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
    if (click.iItem >= 0 && click.iSubItem >= 0 &&
        click.iSubItem < static_cast<int>(bound->columns.size())) {
      form_.SetCurrentCell(bound->name, bound->index, click.iItem + grid.fixedRows,
                           bound->columns[static_cast<std::size_t>(click.iSubItem)]);
      Changed();
    }
  }
  return 0;
}

void FormWindow::GridHover(Bound& bound, POINT point) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  SendMessageW(bound.window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const Grid& grid = form_.Grids(bound.name)[static_cast<std::size_t>(bound.index)];
  int col = -1;
  if (hit.iItem >= 0 && hit.iSubItem >= 0 &&
      hit.iSubItem < static_cast<int>(bound.columns.size())) {
    col = bound.columns[static_cast<std::size_t>(hit.iSubItem)];
  }
  form_.HoverGrid(bound.name, bound.index, hit.iItem < 0 ? -1 : hit.iItem + grid.fixedRows, col);
  const std::wstring tip = ToWide(grid.toolTip);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(bound.window);
  tool.lpszText = const_cast<wchar_t*>(tip.c_str());
  SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::DrawMenuEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const bool selected = item.itemState & ODS_SELECTED;
  FillRect(item.hDC, &item.rcItem,
           selected ? menuBrush_ : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const auto length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  RECT place = item.rcItem;
  place.left += Scale(6);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(item.hDC, font_);
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &place,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(item.hDC, old);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return Notify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_DRAWITEM:
      DrawMenuEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      for (const TabParts& parts : tabParts_) {
        if (control == parts.bar) {
          SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
          SetBkColor(reinterpret_cast<HDC>(wParam), kBar);
          return reinterpret_cast<LRESULT>(barBrush_);
        }
      }
      break;
    }
    case WM_CLOSE:
      form_.CloseBox();
      Changed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || self->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    // The forms keep their failures to themselves; nothing may unwind through the system.
    return 0;
  }
}

LRESULT CALLBACK FormWindow::GridProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR data) {
  if (message == WM_MOUSEMOVE) {
    auto* self = reinterpret_cast<FormWindow*>(data);
    for (Bound& bound : self->bound_) {
      if (bound.window != window) continue;
      try {
        self->GridHover(
            bound, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      } catch (...) {
      }
    }
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void FormWindow::RunModal() {
  // The tab control lies below the controls placed over it.
  if (tabs_) SetWindowPos(tabs_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Refresh();
  HWND owner = GetWindow(window_, GW_OWNER);
  // Centred over the owner, else on the screen.
  RECT frame;
  GetWindowRect(window_, &frame);
  RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (owner) GetWindowRect(owner, &over);
  const int left =
      std::max(0L, over.left + (over.right - over.left - (frame.right - frame.left)) / 2);
  const int top =
      std::max(0L, over.top + (over.bottom - over.top - (frame.bottom - frame.top)) / 2);
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window_, SW_SHOW);
  SetForegroundWindow(window_);
  MSG message;
  bool quit = false;
  while (form_.isOpen()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = got == 0;
      break;
    }
    if (!IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (form_.isOpen()) form_.CloseBox();
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  ShowWindow(window_, SW_HIDE);
  // A quit asked for while the dialog ran is the caller's to see.
  if (quit) PostQuitMessage(static_cast<int>(message.wParam));
}

}  // namespace dav::editors::win32
