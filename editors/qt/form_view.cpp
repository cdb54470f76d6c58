#include "editors/qt/form_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace dav::editors::qt {
namespace {

// Twips (1/1440 inch) at 96 pixels per inch.
int Pixels(int twips) {
  return twips / 15;
}

// The drive pictures of the drive grid by image key.
QIcon DriveIcon(const std::string& key) {
  QStyle* style = QApplication::style();
  if (key == "keyA") return style->standardIcon(QStyle::SP_DriveFDIcon);
  if (key == "keyD") return style->standardIcon(QStyle::SP_DriveCDIcon);
  return style->standardIcon(QStyle::SP_DriveHDIcon);
}

const char kSideMenuStyle[] =
    "QListWidget { background: white; }"
    "QListWidget::item { background: white; color: black; padding: 4px; }"
    "QListWidget::item:selected, QListWidget::item:selected:!active "
    "{ background: rgb(176, 204, 255); color: black; }";

}  // namespace

QString ControlName(const Form& form, const std::string& control, int index) {
  return form.Count(control) > 1 ? Q(control + "(" + std::to_string(index) + ")") : Q(control);
}

FormDialog::FormDialog(Form& form) : form_(form) {
  setWindowTitle(Q(form.caption));
  setObjectName(Q(form.name()));
  setModal(true);
}

QCheckBox* FormDialog::Check(const std::string& control, int index) {
  const auto at = static_cast<std::size_t>(index);
  auto* box = new QCheckBox(Q(form_.Checks(control)[at].caption));
  box->setObjectName(ControlName(form_, control, index));
  connect(box, &QCheckBox::clicked, this, [this, control, index](bool checked) {
    form_.SetCheck(control, index, checked);
    Changed();
  });
  Bind([this, box, control, at] {
    const CheckBox& model = form_.Checks(control)[at];
    box->setChecked(model.value);
    box->setEnabled(model.enabled);
  });
  return box;
}

QRadioButton* FormDialog::Option(const std::string& control, int index) {
  const auto at = static_cast<std::size_t>(index);
  auto* option = new QRadioButton(Q(form_.Options(control)[at].caption));
  option->setObjectName(ControlName(form_, control, index));
  option->setAutoExclusive(false);  // the form clears the others of the row
  connect(option, &QRadioButton::clicked, this, [this, control, index] {
    form_.SelectOption(control, index);
    Changed();
  });
  Bind([this, option, control, at] {
    const OptionButton& model = form_.Options(control)[at];
    option->setChecked(model.value);
    option->setEnabled(model.enabled);
  });
  return option;
}

QComboBox* FormDialog::List(const std::string& control, int index) {
  const auto at = static_cast<std::size_t>(index);
  auto* list = new QComboBox;
  list->setObjectName(ControlName(form_, control, index));
  connect(list, &QComboBox::activated, this, [this, control, index](int item) {
    form_.SelectListItem(control, index, item);
    Changed();
  });
  Bind([this, list, control, at] {
    const ComboBox& model = form_.Lists(control)[at];
    list->clear();
    for (const ListItem& item : model.items) list->addItem(Q(item.text), item.data);
    list->setCurrentIndex(model.listIndex);
    list->setEnabled(model.enabled);
  });
  return list;
}

QLineEdit* FormDialog::Text(const std::string& control, int index) {
  const auto at = static_cast<std::size_t>(index);
  auto* text = new QLineEdit;
  text->setObjectName(ControlName(form_, control, index));
  connect(text, &QLineEdit::textEdited, this, [this, control, index](const QString& value) {
    form_.SetText(control, index, value.toStdString());
    Changed();
  });
  Bind([this, text, control, at] {
    const TextBox& model = form_.Texts(control)[at];
    if (text->text().toStdString() != model.text) text->setText(Q(model.text));
    text->setEnabled(model.enabled);
  });
  return text;
}

QPushButton* FormDialog::Button(const std::string& control, int index) {
  const auto at = static_cast<std::size_t>(index);
  auto* button = new QPushButton(Q(form_.Buttons(control)[at].caption));
  button->setObjectName(ControlName(form_, control, index));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, control, index] {
    form_.Click(control, index);
    Changed();
  });
  Bind([this, button, control, at] { button->setEnabled(form_.Buttons(control)[at].enabled); });
  return button;
}

QTableWidget* FormDialog::Grid(const std::string& control, int index) {
  const auto at = static_cast<std::size_t>(index);
  const editors::Grid& model = form_.Grids(control)[at];
  auto* table = new QTableWidget(0, static_cast<int>(model.columns.size()));
  table->setObjectName(ControlName(form_, control, index));
  table->verticalHeader()->hide();
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setMouseTracking(true);
  if (model.fixedRows > 0) {
    QStringList headers;
    for (const GridColumn& column : model.columns) headers << Q(column.header);
    table->setHorizontalHeaderLabels(headers);
    if (model.headerHeight > 0)
      table->horizontalHeader()->setFixedHeight(Pixels(model.headerHeight));
  } else {
    table->horizontalHeader()->hide();
  }
  table->horizontalHeader()->setStretchLastSection(true);
  for (std::size_t c = 0; c < model.columns.size(); ++c) {
    const GridColumn& column = model.columns[c];
    const int col = static_cast<int>(c);
    if (column.width > 0) table->setColumnWidth(col, Pixels(column.width));
    table->setColumnHidden(col, column.hidden);
    // The check column keeps its width.
    if (column.fixedWidth) table->horizontalHeader()->setSectionResizeMode(col, QHeaderView::Fixed);
  }
  connect(table, &QTableWidget::itemChanged, this, [this, control, index](QTableWidgetItem* item) {
    if (refreshing_ || !(item->flags() & Qt::ItemIsUserCheckable)) return;
    const editors::Grid& grid = form_.Grids(control)[static_cast<std::size_t>(index)];
    form_.SetCell(control, index, item->row() + grid.fixedRows,
                  grid.columns[static_cast<std::size_t>(item->column())].key,
                  item->checkState() == Qt::Checked ? "True" : "False");
    Changed();
  });
  connect(table, &QTableWidget::currentCellChanged, this,
          [this, control, index](int row, int col, int, int) {
            if (refreshing_) return;
            const int fixed = form_.Grids(control)[static_cast<std::size_t>(index)].fixedRows;
            form_.SetCurrentCell(control, index, row < 0 ? -1 : row + fixed, col);
          });
  connect(table, &QTableWidget::cellEntered, this, [this, table, control, index](int row, int col) {
    const editors::Grid& grid = form_.Grids(control)[static_cast<std::size_t>(index)];
    form_.HoverGrid(control, index, row + grid.fixedRows, col);
    table->setToolTip(Q(grid.toolTip));
  });
  Bind([this, table, control, at] {
    const editors::Grid& grid = form_.Grids(control)[at];
    table->setRowCount(grid.DataRows());
    for (int r = 0; r < grid.DataRows(); ++r) {
      if (grid.rowHeight > 0) table->setRowHeight(r, Pixels(grid.rowHeight));
      for (std::size_t c = 0; c < grid.columns.size(); ++c) {
        const GridColumn& column = grid.columns[c];
        const std::string& text = grid.Cell(r + grid.fixedRows, static_cast<int>(c));
        // Items are updated in place: a toggled check cell is still in its signal here.
        QTableWidgetItem* item = table->item(r, static_cast<int>(c));
        if (!item) {
          item = new QTableWidgetItem;
          table->setItem(r, static_cast<int>(c), item);
        }
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (column.boolean) {
          item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
          item->setCheckState(text == "True" ? Qt::Checked : Qt::Unchecked);
        } else if (column.key == "image") {
          item->setIcon(DriveIcon(text));
        } else {
          item->setText(Q(text));
        }
        if (column.align == GridColumn::Align::kCenter) item->setTextAlignment(Qt::AlignCenter);
      }
    }
    table->setEnabled(grid.enabled);
  });
  return table;
}

QTabWidget* FormDialog::Tabs(const std::vector<std::vector<QWidget*>>& panels) {
  auto* tabs = new QTabWidget;
  tabs->setObjectName("tabs");
  for (std::size_t t = 0; t < form_.tabs.size() && t < panels.size(); ++t) {
    const TabPage& page = form_.tabs[t];
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* title = new QLabel(Q(page.title));
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    title->setFont(bold);
    layout->addWidget(title);
    auto* body = new QHBoxLayout;
    auto* menu = new QListWidget;
    menu->setObjectName(Q("menu" + std::to_string(t)));
    menu->setStyleSheet(kSideMenuStyle);
    menu->setFixedWidth(150);
    for (const std::string& entry : page.menu) menu->addItem(Q(entry));
    body->addWidget(menu);
    auto* right = new QVBoxLayout;
    auto* bar = new QLabel(Q(page.titleBar));
    bar->setStyleSheet("background: rgb(90, 120, 170); color: white; padding: 4px;");
    right->addWidget(bar);
    auto* stack = new QStackedWidget;
    for (QWidget* panel : panels[t]) stack->addWidget(panel);
    right->addWidget(stack, 1);
    body->addLayout(right, 1);
    layout->addLayout(body, 1);
    tabs->addTab(content, Q(page.caption));
    connect(menu, &QListWidget::currentRowChanged, this, [this](int row) {
      if (refreshing_ || row < 0) return;
      form_.SelectMenu(row);
      Changed();
    });
    Bind([this, menu, stack, t] {
      const int entry = form_.tabs[t].menuIndex;
      menu->setCurrentRow(entry);
      stack->setCurrentIndex(entry);
    });
  }
  connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
    if (refreshing_) return;
    form_.SelectTab(index);
    Changed();
  });
  Bind([this, tabs] { tabs->setCurrentIndex(form_.tab); });
  return tabs;
}

void FormDialog::Refresh() {
  refreshing_ = true;
  for (const auto& refresh : refreshers_) refresh();
  refreshing_ = false;
}

void FormDialog::Changed() {
  Refresh();
  if (!form_.isOpen()) done(QDialog::Accepted);
}

void FormDialog::closeEvent(QCloseEvent* event) {
  if (form_.isOpen()) form_.CloseBox();
  if (form_.isOpen()) {
    event->ignore();
    return;
  }
  event->accept();
  QDialog::closeEvent(event);
}

void FormDialog::reject() {
  if (form_.isOpen()) form_.CloseBox();
  Refresh();
  if (!form_.isOpen()) QDialog::reject();
}

}  // namespace dav::editors::qt
