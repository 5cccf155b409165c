// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

// A row of a folder list keeps its entry's name as the file system spells
// it: a name that is not UTF-8 shows decoded, but every action on the row
// takes these bytes, so that it lands on exactly the entry shown.
void SetRowName(QTreeWidgetItem* row, const std::string& name);
std::string RowName(const QTreeWidgetItem* row);

// Whether the row is a folder (".." included).
void SetFolderRow(QTreeWidgetItem* row, bool folder);
bool IsFolderRow(const QTreeWidgetItem* row);

// The names of the selected rows, top row first.
std::vector<std::string> SelectedRowNames(const QTreeWidget& list);
