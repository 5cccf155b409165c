// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/ListIcons.h"

#include <QFileInfo>

QIcon CListIcons::Icon(const QString& path, bool isFolder, const QString& type) {
  if (isFolder) {
    if (!m_folderIcon) m_folderIcon = m_provider.icon(QAbstractFileIconProvider::Folder);
    return *m_folderIcon;
  }
  if (type.isEmpty()) {
    if (!m_plainFileIcon) m_plainFileIcon = m_provider.icon(QAbstractFileIconProvider::File);
    return *m_plainFileIcon;
  }
  const QString key = type.toLower();
  auto known = m_byType.constFind(key);
  if (known == m_byType.constEnd()) known = m_byType.insert(key, m_provider.icon(QFileInfo(path)));
  return *known;
}
