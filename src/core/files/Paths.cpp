#include "files/Paths.h"

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

std::string SettingsImagePath(std::string_view playerRoot) {
  return JoinPath(playerRoot, "Settings.dat");
}

}  // namespace koral
