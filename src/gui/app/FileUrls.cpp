// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/FileUrls.h"

#include <QDir>
#include <QList>
#include <QMimeData>
#include <QUrl>

#include "core/files/Paths.h"
#include "gui/common/PathText.h"

std::optional<std::vector<std::string>> LocalFilesOf(const QMimeData& data) {
  if (!data.hasUrls()) return std::nullopt;
  std::vector<std::string> paths;
  for (const QUrl& url : data.urls()) {
    // A remote file (another host, a phone, the web) cannot be read as a path.
    const bool thisHost = url.host().isEmpty() || url.host() == QStringLiteral("localhost");
    if (!url.isLocalFile() || !thisHost) return std::nullopt;
    const QString path = QDir::cleanPath(url.path(QUrl::FullyDecoded));
    // The root has no name to copy under.
    if (path.isEmpty() || path == QStringLiteral("/")) return std::nullopt;
    paths.push_back(PathToStd(path));
  }
  if (paths.empty()) return std::nullopt;
  return paths;
}

std::unique_ptr<QMimeData> FileUrlsOf(const std::string& folder, const std::vector<std::string>& names) {
  QList<QUrl> urls;
  for (const std::string& name : names)
    if (!name.empty() && name != ".." && name != ".")
      urls << QUrl::fromLocalFile(PathFromStd(koral::JoinPath(folder, name)));
  if (urls.isEmpty()) return nullptr;
  auto data = std::make_unique<QMimeData>();
  data->setUrls(urls);
  return data;
}
