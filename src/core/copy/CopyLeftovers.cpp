// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyLeftovers.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "core/copy/PartialCopyNames.h"
#include "core/files/Paths.h"
#include "core/platform/FileDescriptor.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

bool IsRealFolder(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A folder without a lock file is one a run has just made (it locks it or
// gives it up) or one a clean-up left half done: only an empty one goes.
void RemoveIfDead(const std::string& runFolder) {
  FileDescriptor lock(open(JoinPath(runFolder, kRunLockName).c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
  if (!lock.IsOpen()) {
    if (errno == ENOENT) rmdir(runFolder.c_str());
    return;
  }
  if (flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) return;  // its copy is running, or no lock is to be had
  RemoveRunTemporaries(runFolder);
  // Unlinked while held: a run that took the file for its own meanwhile
  // finds it gone once it has the lock, and makes another folder. On FUSE
  // the folder may then stay, empty, until the next clean-up.
  unlink(JoinPath(runFolder, kRunLockName).c_str());
  lock.Close();
  rmdir(runFolder.c_str());
}

}  // namespace

void RemoveRunTemporaries(const std::string& runFolder) {
  std::vector<std::string> entries;
  std::error_code error;
  for (fs::directory_iterator it(runFolder, error), end; !error && it != end; it.increment(error))
    if (it->path().filename() != kRunLockName) entries.push_back(it->path().string());
  for (const std::string& entry : entries)
    if (unlink(entry.c_str()) != 0 && errno == EISDIR) fs::remove_all(entry, error);
}

void RemoveEmptyRunFolder(const std::string& runFolder) {
  unlink(JoinPath(runFolder, kRunLockName).c_str());
  rmdir(runFolder.c_str());
}

void RemoveDeadCopyRuns(const std::string& playerRoot) {
  if (playerRoot.empty()) return;
  const std::string partial = PartialFolderOf(playerRoot);
  if (!IsRealFolder(partial)) return;
  std::vector<std::string> runs;
  std::error_code error;
  std::vector<std::string> unowned;  // temporaries of versions that kept no run folder
  for (fs::directory_iterator it(partial, error), end; !error && it != end; it.increment(error)) {
    const std::string path = it->path().string();
    if (IsRealFolder(path)) runs.push_back(path);
    else if (IsTemporaryName(it->path().filename().string())) unowned.push_back(path);
  }
  for (const std::string& run : runs) RemoveIfDead(run);
  for (const std::string& file : unowned) unlink(file.c_str());
  rmdir(partial.c_str());
}

}  // namespace koral
