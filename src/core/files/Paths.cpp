// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/Paths.h"

#include <algorithm>

namespace koral {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string ParentFolder(std::string_view folder) {
  const size_t slash = folder.find_last_of('/');
  if (slash == std::string_view::npos) return std::string(folder);
  if (slash == 0) return "/";
  return std::string(folder.substr(0, slash));
}

bool PathHolds(const std::filesystem::path& outer, const std::filesystem::path& inner) {
  return std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end()).first == outer.end();
}

bool IsFolderOnPlayer(const std::string& folder, const std::string& playerRoot) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (playerRoot.empty() || !fs::is_directory(folder, error)) return false;
  const fs::path real = fs::canonical(folder, error);
  if (error) return false;
  const fs::path root = fs::canonical(playerRoot, error);
  return !error && PathHolds(root, real);
}

std::string SettingsImagePath(std::string_view playerRoot) { return JoinPath(playerRoot, "Settings.dat"); }

}  // namespace koral
