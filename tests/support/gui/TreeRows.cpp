// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gui/TreeRows.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

namespace koral::test {

QTreeWidgetItem* FindRow(QTreeWidget* list, const QString& name) {
  const QList<QTreeWidgetItem*> rows = list->findItems(name, Qt::MatchExactly, 0);
  return rows.size() == 1 ? rows.front() : nullptr;
}

QStringList RowTexts(const QTreeWidget* list, int column) {
  QStringList texts;
  for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
  return texts;
}

void SelectRows(QTreeWidget* list, const QStringList& names) {
  list->clearSelection();
  for (const QString& name : names) {
    QTreeWidgetItem* row = FindRow(list, name);
    QVERIFY2(row != nullptr, qPrintable(name));
    row->setSelected(true);
  }
}

void DoubleClickRow(QTreeWidget* list, const QString& name) {
  QTreeWidgetItem* row = FindRow(list, name);
  QVERIFY2(row != nullptr, qPrintable(name));
  list->scrollToItem(row);
  const QPoint at = list->visualItemRect(row).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void ClickHeader(QTreeWidget* list, int column) {
  QHeaderView* header = list->header();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace koral::test
