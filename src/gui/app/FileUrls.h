// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMimeData>

// The local paths a drag carries (text/uri-list), as the file system spells
// them; nullopt unless it holds at least one URL and every URL is a local
// file: a drop holding anything else is refused whole.
std::optional<std::vector<std::string>> LocalFilesOf(const QMimeData& data);

// What a drag of a folder's rows carries: their paths as file URLs. The
// parent row ".." and "." are never among them; nullptr when nothing is left.
std::unique_ptr<QMimeData> FileUrlsOf(const std::string& folder, const std::vector<std::string>& names);
