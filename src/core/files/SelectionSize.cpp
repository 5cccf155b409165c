// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/SelectionSize.h"

#include <algorithm>

#include "core/files/Paths.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr float kBytesPerMebibyte = 1048576.0f;

float FileMebibytes(const fs::path& path) {
  std::error_code error;
  const auto bytes = fs::file_size(path, error);
  return error ? 0.0f : static_cast<float>(static_cast<double>(bytes) / kBytesPerMebibyte);
}

float PlaylistSize(const fs::path& folder) {
  const auto entries = ReadFolderPlaylist(folder);
  if (!entries) return 0.0f;
  float size = 0.0f;
  std::error_code error;
  for (const PlaylistEntry& entry : *entries)
    if (fs::is_regular_file(entry.path, error)) size += FileMebibytes(entry.path);
  return size;
}

// The folders being walked, by their real path: a symbolic link back to one
// of them would otherwise make the walk endless.
using WalkPath = std::vector<fs::path>;

float TreeSize(const fs::path& folder, WalkPath& walking) {
  std::error_code error;
  fs::path real = fs::canonical(folder, error);
  if (error) return 0.0f;
  if (std::find(walking.begin(), walking.end(), real) != walking.end()) return 0.0f;
  walking.push_back(std::move(real));
  float size = 0.0f;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (it->is_directory(kind)) size += TreeSize(it->path(), walking);
    else size += FileMebibytes(it->path());
  }
  walking.pop_back();
  return size;
}

}  // namespace

float FolderSize(const fs::path& folder, bool followPlaylist) {
  if (followPlaylist) return PlaylistSize(folder);
  WalkPath walking;
  return TreeSize(folder, walking);
}

float SelectionSize(const std::string& folder, const std::vector<std::string>& names, bool followPlaylist) {
  float size = 0.0f;
  for (const std::string& name : names) {
    if (name == "." || name == "..") continue;
    const fs::path path = JoinPath(folder, name);
    std::error_code error;
    if (fs::is_directory(path, error)) size += FolderSize(path, followPlaylist);
    else size += FileMebibytes(path);
  }
  return size;
}

}  // namespace koral
