// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QString>

// The small icons of the folder lists. Asking the platform for each file is
// slow on large folders, so one icon is kept per extension (the first file
// of that type gives it) and one for all folders.
class CListIcons final {
  Q_DISABLE_COPY_MOVE(CListIcons)

 public:
  CListIcons() = default;
  QIcon Icon(const QString& path, bool isFolder, const QString& type);

 private:
  QFileIconProvider m_provider;
  std::optional<QIcon> m_folderIcon;  // asked once: the platform may have none
  std::optional<QIcon> m_plainFileIcon;
  QHash<QString, QIcon> m_byType;
};
