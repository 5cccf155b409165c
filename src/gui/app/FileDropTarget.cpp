// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/FileDropTarget.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QTimer>

#include "gui/app/FileUrls.h"

namespace {

// A fifth of the selection colour over the list's background.
QColor Tinted(const QColor& base, const QColor& highlight) {
  const auto mix = [](int a, int b) { return (4 * a + b) / 5; };
  return QColor(mix(base.red(), highlight.red()), mix(base.green(), highlight.green()),
                mix(base.blue(), highlight.blue()));
}

}  // namespace

CFileDropTarget::CFileDropTarget(QAbstractItemView* list, std::function<bool()> mayDrop)
    : QObject(list), m_list(list), m_mayDrop(std::move(mayDrop)) {
  list->setDragDropMode(QAbstractItemView::DropOnly);
  list->setAcceptDrops(true);
  list->viewport()->setAcceptDrops(true);
  // Before the item view: it would only take rows of its own kind.
  list->viewport()->installEventFilter(this);
}

bool CFileDropTarget::Takes(const QDropEvent& event) const {
  return m_list->isEnabled() && m_mayDrop() && LocalFilesOf(*event.mimeData()).has_value();
}

bool CFileDropTarget::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      const bool takes = Takes(*drag);
      // Always a copy, whatever the dragging program proposes: its files stay where they are.
      if (takes) {
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
      } else {
        drag->ignore();
      }
      ShowDropPossible(takes);
      return true;
    }
    case QEvent::DragLeave: ShowDropPossible(false); return true;
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      ShowDropPossible(false);
      const auto paths = Takes(*drop) ? LocalFilesOf(*drop->mimeData()) : std::nullopt;
      if (!paths) {
        drop->ignore();
        return true;
      }
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      QTimer::singleShot(0, this, [this, files = *paths] { emit filesDropped(files); });
      return true;
    }
    default: return QObject::eventFilter(watched, event);
  }
}

void CFileDropTarget::ShowDropPossible(bool possible) {
  if (possible == m_shown) return;
  QWidget* viewport = m_list->viewport();
  if (possible) {
    m_ownPalette = viewport->testAttribute(Qt::WA_SetPalette);
    m_palette = viewport->palette();
    QPalette tinted = m_palette;
    tinted.setColor(QPalette::Base, Tinted(m_palette.color(QPalette::Base), m_palette.color(QPalette::Highlight)));
    viewport->setPalette(tinted);
  } else {
    viewport->setPalette(m_ownPalette ? m_palette : QPalette());  // an empty one follows the list's again
  }
  m_shown = possible;
}
