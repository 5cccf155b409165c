// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

class QKeyEvent;
class QTreeWidget;
class QTreeWidgetItem;

// The keys of a folder list, as a file manager has them: Enter opens the
// focused row, Backspace and Alt+Up go to the parent, Delete deletes,
// Shift+F10 and the Menu key open the list's menu, Ctrl+A selects every row
// but "..". None of them reaches the window, whose default button would
// otherwise take Enter.
class CListKeys final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CListKeys)

 public:
  explicit CListKeys(QTreeWidget* list);

 signals:
  void openRequested(QTreeWidgetItem* row);
  void parentRequested();
  void deleteRequested();
  void menuRequested(const QPoint& viewportPosition);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool HandleKey(const QKeyEvent& key);
  void OpenFocusedRow();
  void SelectAllButParent();
  QPoint MenuPosition() const;

  QTreeWidget* m_list;
};
