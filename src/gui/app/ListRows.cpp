// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/ListRows.h"

#include <algorithm>

#include <QByteArray>
#include <QString>
#include <QTreeWidget>

#include "core/config/TextEncoding.h"

namespace {

constexpr int kFolderRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

}  // namespace

void SetRowName(QTreeWidgetItem* row, const std::string& name) {
  // Shown as the program reads any text that is not UTF-8: as Windows-1252,
  // the usual origin of such names, rather than as marks that all look alike.
  row->setText(0, QString::fromStdString(koral::ToUtf8(name)));
  row->setData(0, kNameRole, QByteArray::fromStdString(name));
}

std::string RowName(const QTreeWidgetItem* row) { return row->data(0, kNameRole).toByteArray().toStdString(); }

void SetFolderRow(QTreeWidgetItem* row, bool folder) { row->setData(0, kFolderRole, folder); }

bool IsFolderRow(const QTreeWidgetItem* row) { return row->data(0, kFolderRole).toBool(); }

std::vector<std::string> SelectedRowNames(const QTreeWidget& list) {
  QList<QTreeWidgetItem*> rows = list.selectedItems();
  std::sort(rows.begin(), rows.end(), [&list](QTreeWidgetItem* a, QTreeWidgetItem* b) {
    return list.indexOfTopLevelItem(a) < list.indexOfTopLevelItem(b);
  });
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(rows.size()));
  for (const QTreeWidgetItem* row : rows) names.push_back(RowName(row));
  return names;
}
