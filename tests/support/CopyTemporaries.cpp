// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopyTemporaries.h"

#include "core/copy/PartialCopyNames.h"

namespace koral::test {

namespace fs = std::filesystem;

std::vector<std::string> CopyTemporariesUnder(const fs::path& folder) {
  std::vector<std::string> found;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (IsTemporaryName(name) || IsPartialFolderName(name)) found.push_back(it->path().string());
  }
  return found;
}

fs::path TemporaryOf(const fs::path& player, const std::string& finalName) {
  const std::string suffix = TemporaryNameFor(finalName);
  for (const std::string& path : CopyTemporariesUnder(player)) {
    const std::string name = fs::path(path).filename().string();
    const size_t digits = name.find_first_not_of("0123456789");
    if (digits > 0 && digits != std::string::npos && name.substr(digits) == suffix) return path;
  }
  return {};
}

}  // namespace koral::test
