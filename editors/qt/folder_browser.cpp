// The folder browser of "찾아보기": the machine's drives and their folders in a tree,
// read through the platform's file listing as the folders are opened.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editors/qt/dialogs.h"

namespace dav::editors::qt {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr std::uint32_t kFolders =
    platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem;

// The folder's sub-folders as child items, once.
void Fill(platform::FileSystem& files, QTreeWidgetItem* item) {
  if (item->data(0, kPathRole + 1).toBool()) return;
  item->setData(0, kPathRole + 1, true);
  std::string path = item->data(0, kPathRole).toString().toStdString();
  if (path.back() != '\\') path += '\\';
  std::vector<platform::FileEntry> entries;
  files.FindFiles(path + "*.*", kFolders, &entries);
  for (const platform::FileEntry& entry : entries) {
    if (!(entry.attributes & platform::kAttrDirectory) || entry.name == "." || entry.name == "..") {
      continue;
    }
    auto* child = new QTreeWidgetItem(item, {Q(entry.name)});
    child->setData(0, kPathRole, Q(path + entry.name));
    child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  if (item->childCount() == 0) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

}  // namespace

std::string BrowseFolder(platform::FileSystem& files, const std::string& prompt, QWidget* parent) {
  QDialog dialog(parent);
  dialog.setObjectName("folderBrowser");
  dialog.setWindowTitle(Q(prompt));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(Q(prompt)));
  auto* tree = new QTreeWidget;
  tree->setHeaderHidden(true);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (files.GetAttributes(root) == platform::kInvalidAttributes) continue;
    auto* drive = new QTreeWidgetItem(tree, {Q(root)});
    drive->setData(0, kPathRole, Q(root));
    drive->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  }
  QObject::connect(tree, &QTreeWidget::itemExpanded, tree,
                   [&files](QTreeWidgetItem* item) { Fill(files, item); });
  layout->addWidget(tree, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.resize(420, 480);
  if (dialog.exec() != QDialog::Accepted || !tree->currentItem()) return {};
  return tree->currentItem()->data(0, kPathRole).toString().toStdString();
}

}  // namespace dav::editors::qt
