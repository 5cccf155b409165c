// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QMimeData>
#include <QTreeWidget>

// A list of a folder's entries. Given drag data, its selected rows can be
// dragged out as files, to the player list or to a file manager; the drag
// only ever offers a copy: the files are never moved from here.
class CFolderList final : public QTreeWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CFolderList)

 public:
  using DragData = std::function<std::unique_ptr<QMimeData>()>;

  explicit CFolderList(QWidget* parent = nullptr) : QTreeWidget(parent) {}

  // Makes the rows draggable: what a drag of the selected rows carries
  // (nullptr: nothing to drag).
  void SetDragData(DragData dragData);

 protected:
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  DragData m_dragData;
};
