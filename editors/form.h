// The editors' forms as data: each control is a record under the name the form gives it,
// control arrays are vectors under one name, and what the user does (a click, a choice from
// a list, a typed text, an edited grid cell) arrives as a call naming the control. The
// views and the script driver only read the records and make these calls; every rule of a
// form lives in its handlers, so all views behave alike.
//
// A state change of a check box or a list selection has the effect of a click whoever
// makes it (the user, the form loading a document, another rule), as in the toolkit the
// forms were first drawn for.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dav::editors {

struct EditorContext;

struct CheckBox {
  std::string caption;
  bool value = false;
  bool enabled = true;
};

struct OptionButton {
  std::string caption;
  bool value = false;
  bool enabled = true;
};

struct ListItem {
  std::string text;
  std::int32_t data = 0;  // the item data
};

struct ComboBox {
  std::string label;
  std::vector<ListItem> items;
  int listIndex = -1;  // the selected item, -1 for none
  bool enabled = true;

  // The selected item's text, or empty.
  std::string Text() const;
};

struct TextBox {
  std::string label;
  std::string text;
  bool enabled = true;
};

struct Button {
  std::string caption;
  bool enabled = true;
};

// One column of a grid. Widths are in twips (1/1440 inch); 0 leaves the view's default.
struct GridColumn {
  enum class Align { kLeft, kCenter };
  std::string key;
  std::string header;
  int width = 0;
  bool hidden = false;
  bool boolean = false;     // cells "True"/"False", shown as check boxes
  bool fixedWidth = false;  // the user cannot resize it
  Align align = Align::kLeft;
};

// A grid of text cells. Rows 0 .. fixedRows-1 are header rows holding the column headers;
// the data rows follow. Columns are found by key.
class Grid {
 public:
  std::vector<GridColumn> columns;
  int fixedRows = 0;
  int headerHeight = 0;  // twips, for the header row
  int rowHeight = 0;     // twips, for data rows; 0 the view's default
  bool enabled = true;
  int row = -1;  // the current cell, -1 when none
  int col = -1;
  std::string toolTip;

  // Sets the columns and leaves the header rows only.
  void Setup(std::vector<GridColumn> newColumns, int newFixedRows);
  // Back to the header rows only.
  void ClearData();

  int Rows() const { return static_cast<int>(cells_.size()); }
  int DataRows() const { return Rows() - fixedRows; }

  // The index of the column with that key; run-time error 9 when there is none.
  int Col(std::string_view key) const;
  // A cell; run-time error 9 for a row or column outside the grid.
  std::string& Cell(int row, std::string_view key);
  const std::string& Cell(int row, std::string_view key) const;
  const std::string& Cell(int row, int column) const;

  // Appends an empty data row and returns its index.
  int AddRow();
  void RemoveRow(int index);

 private:
  std::vector<std::vector<std::string>> cells_;
};

// A tab of a form: its caption, the title and title bar of its page, and its side menu.
struct TabPage {
  std::string caption;
  std::string title;
  std::string titleBar;
  std::vector<std::string> menu;
  int menuIndex = 0;  // the side menu entry shown
};

class Form {
 public:
  enum class Kind { kNone, kCheck, kOption, kList, kText, kButton, kGrid };

  Form(EditorContext& context, std::string name);
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  EditorContext& context() { return context_; }
  bool isOpen() const { return open_; }

  std::string caption;
  std::vector<TabPage> tabs;
  int tab = 0;  // the tab shown

  // Control arrays by name; a name the form does not have raises run-time error 9.
  std::vector<CheckBox>& Checks(std::string_view control);
  std::vector<OptionButton>& Options(std::string_view control);
  std::vector<ComboBox>& Lists(std::string_view control);
  std::vector<TextBox>& Texts(std::string_view control);
  std::vector<Button>& Buttons(std::string_view control);
  std::vector<Grid>& Grids(std::string_view control);
  const std::vector<CheckBox>& Checks(std::string_view control) const;
  const std::vector<OptionButton>& Options(std::string_view control) const;
  const std::vector<ComboBox>& Lists(std::string_view control) const;
  const std::vector<TextBox>& Texts(std::string_view control) const;
  const std::vector<Button>& Buttons(std::string_view control) const;
  const std::vector<Grid>& Grids(std::string_view control) const;

  // What kind of control a name is, and how many elements its array has (0 for none).
  Kind KindOf(std::string_view control) const;
  int Count(std::string_view control) const;
  // Every control name of the form, in name order.
  std::vector<std::string> ControlNames() const;

  // --- what the user does ------------------------------------------------------------
  // A check box set to a state; a change runs the box's click.
  void SetCheck(std::string_view control, int index, bool value);
  // A click on a check box (toggles it), an option button (selects it) or a button.
  void Click(std::string_view control, int index);
  // An option button selected: the others of its group are cleared; runs its click.
  void SelectOption(std::string_view control, int index);
  // A list item selected (-1 for none); a change runs the list's click.
  void SelectListItem(std::string_view control, int index, int item);
  void SetText(std::string_view control, int index, std::string text);
  void SetCell(std::string_view control, int index, int row, std::string_view key,
               std::string text);
  void SetCurrentCell(std::string_view control, int index, int row, int col);
  // The mouse over a cell of a grid (-1 when over no cell).
  void HoverGrid(std::string_view control, int index, int row, int col);
  // A tab or a side menu entry of the shown tab chosen.
  void SelectTab(int index);
  void SelectMenu(int index);
  // The window's close box.
  void CloseBox();

 protected:
  // The rules of the form. Handlers are the form's procedures: they log and keep failures
  // to themselves.
  virtual void CheckClicked(std::string_view control, int index);
  virtual void OptionClicked(std::string_view control, int index);
  virtual void ListClicked(std::string_view control, int index);
  virtual void ButtonClicked(std::string_view control, int index);
  virtual void GridHovered(std::string_view control, int index);
  virtual void TabSelected(int index);
  virtual void MenuSelected(int index);
  virtual void Unload();

  void Open() { open_ = true; }
  void Close() { open_ = false; }

  // Adds a control array, one element per caption (label).
  void AddChecks(std::string control, std::vector<std::string> captions);
  void AddOptions(std::string control, std::vector<std::string> captions);
  void AddLists(std::string control, std::vector<std::string> labels);
  void AddTexts(std::string control, std::vector<std::string> labels);
  void AddButtons(std::string control, std::vector<std::string> captions);
  void AddGrids(std::string control, int count);

  // Option buttons come in groups of this many consecutive indices per array (one group
  // when 0): selecting one clears the others of its group.
  std::map<std::string, int, std::less<>> optionGroupSize_;

  // The cell the mouse is over, as the last HoverGrid gave it.
  struct Hover {
    int row = -1;
    int col = -1;
  };
  Hover hover_;

 private:
  EditorContext& context_;
  std::string name_;
  bool open_ = false;
  std::map<std::string, std::vector<CheckBox>, std::less<>> checks_;
  std::map<std::string, std::vector<OptionButton>, std::less<>> options_;
  std::map<std::string, std::vector<ComboBox>, std::less<>> lists_;
  std::map<std::string, std::vector<TextBox>, std::less<>> texts_;
  std::map<std::string, std::vector<Button>, std::less<>> buttons_;
  std::map<std::string, std::vector<Grid>, std::less<>> grids_;
};

}  // namespace dav::editors
