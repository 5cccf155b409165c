// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/ListKeys.h"

#include <QKeyEvent>
#include <QTreeWidget>

#include "core/files/FolderListing.h"
#include "gui/app/ListRows.h"

CListKeys::CListKeys(QTreeWidget* list) : QObject(list), m_list(list) { list->installEventFilter(this); }

bool CListKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched != m_list || event->type() != QEvent::KeyPress) return false;
  return HandleKey(*static_cast<QKeyEvent*>(event));
}

bool CListKeys::HandleKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OpenFocusedRow();  // on a file: nothing, and never the window's default button
      return true;
    case Qt::Key_Backspace:
      if (modifiers != Qt::NoModifier) return false;
      emit parentRequested();
      return true;
    case Qt::Key_Up:
      if (modifiers != Qt::AltModifier) return false;
      emit parentRequested();
      return true;
    case Qt::Key_Delete:
      if (modifiers != Qt::NoModifier) return false;
      emit deleteRequested();
      return true;
    case Qt::Key_Menu: emit menuRequested(MenuPosition()); return true;
    case Qt::Key_F10:
      if (modifiers != Qt::ShiftModifier) return false;
      emit menuRequested(MenuPosition());
      return true;
    default: break;
  }
  if (key.matches(QKeySequence::SelectAll)) {
    SelectAllButParent();
    return true;
  }
  return false;
}

void CListKeys::OpenFocusedRow() {
  QTreeWidgetItem* row = m_list->currentItem();
  if (row != nullptr && row->isSelected() && IsFolderRow(row)) emit openRequested(row);
}

// "Select all, delete" must not take the parent entry along.
void CListKeys::SelectAllButParent() {
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = m_list->topLevelItem(i);
    row->setSelected(RowName(row) != koral::kParentName);
  }
}

// Under the focused row, as a right click on it would be; else at the top.
QPoint CListKeys::MenuPosition() const {
  const QTreeWidgetItem* row = m_list->currentItem();
  if (row == nullptr) return {0, 0};
  const QRect rect = m_list->visualItemRect(row);
  return {rect.left() + rect.height(), rect.bottom()};
}
