// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QPalette>

class QAbstractItemView;
class QDropEvent;

// Takes drops of local files and folders on a list (from a file manager or
// another list) while `mayDrop` allows; anything else is refused and the
// list does nothing. The list's background shows a drop it would take.
class CFileDropTarget final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CFileDropTarget)

 public:
  CFileDropTarget(QAbstractItemView* list, std::function<bool()> mayDrop);

 signals:
  // The dropped paths, as the file system spells them; sent after the drop
  // has been answered, so that a long copy never holds the dragging program.
  void filesDropped(const std::vector<std::string>& paths);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Takes(const QDropEvent& event) const;
  void ShowDropPossible(bool possible);

  QAbstractItemView* m_list;
  std::function<bool()> m_mayDrop;
  QPalette m_palette;  // the viewport's own, put back after the drag
  bool m_ownPalette = false;
  bool m_shown = false;
};
