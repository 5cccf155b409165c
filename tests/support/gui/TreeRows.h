// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;

namespace koral::test {

// The row whose first column reads `name`, or nullptr unless exactly one does.
QTreeWidgetItem* FindRow(QTreeWidget* list, const QString& name);

// The texts of one column, top row first.
QStringList RowTexts(const QTreeWidget* list, int column = 0);

// Selects exactly the named rows, as a user's ctrl-clicks would; fails the
// test when a name is not listed.
void SelectRows(QTreeWidget* list, const QStringList& names);

// A user's double click on the named row: the first click marks it.
void DoubleClickRow(QTreeWidget* list, const QString& name);

// A click on the middle of a column's header.
void ClickHeader(QTreeWidget* list, int column);

}  // namespace koral::test
