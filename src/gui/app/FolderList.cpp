// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FolderList.h"

#include <QDrag>

void CFolderList::SetDragData(DragData dragData) {
  m_dragData = std::move(dragData);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
}

// Not the item view's own drag: it carries the model's rows, and a target
// answering "move" would make it remove them.
void CFolderList::startDrag(Qt::DropActions /*supportedActions*/) {
  std::unique_ptr<QMimeData> dragged = m_dragData ? m_dragData() : nullptr;
  if (!dragged) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(dragged.release());
  if (QTreeWidgetItem* row = currentItem(); row != nullptr && !row->icon(0).isNull())
    drag->setPixmap(row->icon(0).pixmap(iconSize()));
  drag->exec(Qt::CopyAction, Qt::CopyAction);
}
