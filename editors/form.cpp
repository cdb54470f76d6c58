#include "editors/form.h"

#include <utility>

#include "util/run_time_error.h"

namespace dav::editors {
namespace {

template <typename Map>
auto& Find(Map& controls, std::string_view control) {
  const auto found = controls.find(control);
  if (found == controls.end()) {
    throw util::RunTimeError(util::kErrSubscript, {}, "no control '" + std::string(control) + "'");
  }
  return found->second;
}

template <typename Vector>
auto& Element(Vector& array, int index) {
  if (index < 0 || index >= static_cast<int>(array.size())) {
    throw util::RunTimeError(util::kErrSubscript, {},
                             "no control array element " + std::to_string(index));
  }
  return array[static_cast<std::size_t>(index)];
}

template <typename Control>
std::vector<Control> Make(std::vector<std::string> texts, std::string Control::*field) {
  std::vector<Control> controls(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) controls[i].*field = std::move(texts[i]);
  return controls;
}

}  // namespace

std::string ComboBox::Text() const {
  if (listIndex < 0 || listIndex >= static_cast<int>(items.size())) return {};
  return items[static_cast<std::size_t>(listIndex)].text;
}

// --- Grid -------------------------------------------------------------------------------

void Grid::Setup(std::vector<GridColumn> newColumns, int newFixedRows) {
  columns = std::move(newColumns);
  fixedRows = newFixedRows;
  ClearData();
}

void Grid::ClearData() {
  cells_.clear();
  for (int r = 0; r < fixedRows; ++r) {
    std::vector<std::string> header;
    for (const GridColumn& column : columns) header.push_back(column.header);
    cells_.push_back(std::move(header));
  }
  row = col = -1;
}

int Grid::Col(std::string_view key) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i].key == key) return static_cast<int>(i);
  }
  throw util::RunTimeError(util::kErrSubscript, {}, "no grid column '" + std::string(key) + "'");
}

std::string& Grid::Cell(int r, std::string_view key) {
  const int c = Col(key);
  return Element(Element(cells_, r), c);
}

const std::string& Grid::Cell(int r, std::string_view key) const {
  return Cell(r, Col(key));
}

const std::string& Grid::Cell(int r, int c) const {
  return Element(Element(cells_, r), c);
}

int Grid::AddRow() {
  cells_.emplace_back(columns.size());
  return Rows() - 1;
}

void Grid::RemoveRow(int index) {
  Element(cells_, index);
  cells_.erase(cells_.begin() + index);
  if (row >= Rows()) row = Rows() - 1;
}

// --- Form -------------------------------------------------------------------------------

Form::Form(EditorContext& context, std::string name) : context_(context), name_(std::move(name)) {}

std::vector<CheckBox>& Form::Checks(std::string_view c) {
  return Find(checks_, c);
}
std::vector<OptionButton>& Form::Options(std::string_view c) {
  return Find(options_, c);
}
std::vector<ComboBox>& Form::Lists(std::string_view c) {
  return Find(lists_, c);
}
std::vector<TextBox>& Form::Texts(std::string_view c) {
  return Find(texts_, c);
}
std::vector<Button>& Form::Buttons(std::string_view c) {
  return Find(buttons_, c);
}
std::vector<Grid>& Form::Grids(std::string_view c) {
  return Find(grids_, c);
}
const std::vector<CheckBox>& Form::Checks(std::string_view c) const {
  return Find(checks_, c);
}
const std::vector<OptionButton>& Form::Options(std::string_view c) const {
  return Find(options_, c);
}
const std::vector<ComboBox>& Form::Lists(std::string_view c) const {
  return Find(lists_, c);
}
const std::vector<TextBox>& Form::Texts(std::string_view c) const {
  return Find(texts_, c);
}
const std::vector<Button>& Form::Buttons(std::string_view c) const {
  return Find(buttons_, c);
}
const std::vector<Grid>& Form::Grids(std::string_view c) const {
  return Find(grids_, c);
}

Form::Kind Form::KindOf(std::string_view c) const {
  if (checks_.count(c)) return Kind::kCheck;
  if (options_.count(c)) return Kind::kOption;
  if (lists_.count(c)) return Kind::kList;
  if (texts_.count(c)) return Kind::kText;
  if (buttons_.count(c)) return Kind::kButton;
  if (grids_.count(c)) return Kind::kGrid;
  return Kind::kNone;
}

int Form::Count(std::string_view c) const {
  switch (KindOf(c)) {
    case Kind::kCheck:
      return static_cast<int>(Checks(c).size());
    case Kind::kOption:
      return static_cast<int>(Options(c).size());
    case Kind::kList:
      return static_cast<int>(Lists(c).size());
    case Kind::kText:
      return static_cast<int>(Texts(c).size());
    case Kind::kButton:
      return static_cast<int>(Buttons(c).size());
    case Kind::kGrid:
      return static_cast<int>(Grids(c).size());
    case Kind::kNone:
      break;
  }
  return 0;
}

std::vector<std::string> Form::ControlNames() const {
  std::map<std::string, int> names;
  for (const auto& entry : checks_) names[entry.first];
  for (const auto& entry : options_) names[entry.first];
  for (const auto& entry : lists_) names[entry.first];
  for (const auto& entry : texts_) names[entry.first];
  for (const auto& entry : buttons_) names[entry.first];
  for (const auto& entry : grids_) names[entry.first];
  std::vector<std::string> list;
  for (const auto& entry : names) list.push_back(entry.first);
  return list;
}

void Form::SetCheck(std::string_view c, int index, bool value) {
  CheckBox& box = Element(Checks(c), index);
  if (box.value == value) return;
  box.value = value;
  CheckClicked(c, index);
}

void Form::Click(std::string_view c, int index) {
  switch (KindOf(c)) {
    case Kind::kCheck:
      SetCheck(c, index, !Element(Checks(c), index).value);
      break;
    case Kind::kOption:
      SelectOption(c, index);
      break;
    case Kind::kButton:
      Element(Buttons(c), index);
      ButtonClicked(c, index);
      break;
    default:
      throw util::RunTimeError(util::kErrInvalidCall, {},
                               "'" + std::string(c) + "' is not a box or a button");
  }
}

void Form::SelectOption(std::string_view c, int index) {
  std::vector<OptionButton>& options = Options(c);
  Element(options, index);
  const auto group = optionGroupSize_.find(c);
  const int size = group == optionGroupSize_.end() ? 0 : group->second;
  const int first = size > 0 ? index - index % size : 0;
  const int last = size > 0 ? first + size : static_cast<int>(options.size());
  for (int i = first; i < last; ++i) options[static_cast<std::size_t>(i)].value = (i == index);
  OptionClicked(c, index);
}

void Form::SelectListItem(std::string_view c, int index, int item) {
  ComboBox& list = Element(Lists(c), index);
  if (item < -1 || item >= static_cast<int>(list.items.size())) {
    throw util::RunTimeError(380, {}, "Invalid property value");
  }
  if (list.listIndex == item) return;
  list.listIndex = item;
  ListClicked(c, index);
}

void Form::SetText(std::string_view c, int index, std::string text) {
  Element(Texts(c), index).text = std::move(text);
}

void Form::SetCell(std::string_view c, int index, int row, std::string_view key, std::string text) {
  Element(Grids(c), index).Cell(row, key) = std::move(text);
}

void Form::SetCurrentCell(std::string_view c, int index, int row, int col) {
  Grid& grid = Element(Grids(c), index);
  grid.row = row;
  grid.col = col;
}

void Form::HoverGrid(std::string_view c, int index, int row, int col) {
  Element(Grids(c), index);
  hover_ = {row, col};
  GridHovered(c, index);
}

void Form::SelectTab(int index) {
  Element(tabs, index);
  TabSelected(index);
}

void Form::SelectMenu(int index) {
  Element(Element(tabs, tab).menu, index);
  MenuSelected(index);
}

void Form::CloseBox() {
  Unload();
}

void Form::CheckClicked(std::string_view, int) {}
void Form::OptionClicked(std::string_view, int) {}
void Form::ListClicked(std::string_view, int) {}
void Form::ButtonClicked(std::string_view, int) {}
void Form::GridHovered(std::string_view, int) {}
void Form::TabSelected(int index) {
  tab = index;
}
void Form::MenuSelected(int index) {
  tabs[static_cast<std::size_t>(tab)].menuIndex = index;
}
void Form::Unload() {
  Close();
}

void Form::AddChecks(std::string c, std::vector<std::string> captions) {
  checks_[std::move(c)] = Make<CheckBox>(std::move(captions), &CheckBox::caption);
}
void Form::AddOptions(std::string c, std::vector<std::string> captions) {
  options_[std::move(c)] = Make<OptionButton>(std::move(captions), &OptionButton::caption);
}
void Form::AddLists(std::string c, std::vector<std::string> labels) {
  lists_[std::move(c)] = Make<ComboBox>(std::move(labels), &ComboBox::label);
}
void Form::AddTexts(std::string c, std::vector<std::string> labels) {
  texts_[std::move(c)] = Make<TextBox>(std::move(labels), &TextBox::label);
}
void Form::AddButtons(std::string c, std::vector<std::string> captions) {
  buttons_[std::move(c)] = Make<Button>(std::move(captions), &Button::caption);
}
void Form::AddGrids(std::string c, int count) {
  grids_[std::move(c)] = std::vector<Grid>(static_cast<std::size_t>(count));
}

}  // namespace dav::editors
