// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/PartialFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "files/PartialCopyNames.h"

namespace koral {
namespace {

// What an earlier interrupted copy left.
void RemoveLeftovers(const std::string& partialFolder) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (fs::directory_iterator it(partialFolder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (IsTemporaryName(it->path().filename().string()) && it->is_regular_file(kind) && !it->is_symlink(kind))
      unlink(it->path().c_str());
  }
}

}  // namespace

int CPartialFolders::Prepare(const std::string& destinationFolder) {
  const auto [known, first] = m_errors.try_emplace(destinationFolder, 0);
  if (!first) return known->second;
  const std::string partial = PartialFolderOf(destinationFolder);
  if (mkdir(partial.c_str(), 0777) == 0) return 0;
  const int error = errno;
  struct stat info {};
  const bool found = error == EEXIST && lstat(partial.c_str(), &info) == 0;
  if (found && S_ISDIR(info.st_mode)) RemoveLeftovers(partial);
  else known->second = !found ? error : S_ISLNK(info.st_mode) ? ELOOP : ENOTDIR;
  return known->second;
}

void CPartialFolders::RemoveAll() {
  for (const auto& [folder, error] : m_errors)
    if (error == 0) rmdir(PartialFolderOf(folder).c_str());
  m_errors.clear();
}

}  // namespace koral
