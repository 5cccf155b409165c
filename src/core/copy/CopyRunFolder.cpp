// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyRunFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "core/copy/CopyLeftovers.h"
#include "core/copy/PartialCopyNames.h"
#include "core/files/Paths.h"
#include "core/platform/FatAttributes.h"

namespace koral {
namespace {

// A try that met another process's clean-up or name: taken again.
constexpr int kTryAgain = -1;
constexpr int kTries = 8;

std::string UniqueRunName() {
  char name[48];
  std::snprintf(name, sizeof name, "run-%ld-%08x", static_cast<long>(getpid()),
                static_cast<unsigned>(std::random_device{}()));
  return name;
}

// The hidden folder, made or found; 0 or the error.
int MakeHiddenFolder(const std::string& partial) {
  const int made = mkdir(partial.c_str(), 0777) == 0 ? 0 : errno;
  if (made != 0 && made != EEXIST) return made;
  struct stat info {};
  if (lstat(partial.c_str(), &info) != 0) return errno == ENOENT ? kTryAgain : errno;
  if (!S_ISDIR(info.st_mode)) return S_ISLNK(info.st_mode) ? ELOOP : ENOTDIR;
  if (made == 0) SetFatHidden(partial);
  return 0;
}

bool SameFile(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

}  // namespace

CCopyRunFolder::CCopyRunFolder(std::string playerRoot) : m_root(std::move(playerRoot)) {}

CCopyRunFolder::~CCopyRunFolder() { Release(); }

int CCopyRunFolder::Prepare() {
  if (m_error) return *m_error;
  RemoveDeadCopyRuns(m_root);
  int error = kTryAgain;
  for (int i = 0; i < kTries && error == kTryAgain; ++i) error = TryMakeFolder();
  m_error = error == kTryAgain ? EAGAIN : error;
  return *m_error;
}

// A clean-up of another process may remove the folder between its mkdir
// and its lock: the lock is taken on the file the folder still names.
int CCopyRunFolder::TryMakeFolder() {
  const std::string partial = PartialFolderOf(m_root);
  if (const int error = MakeHiddenFolder(partial)) return error;
  const std::string folder = JoinPath(partial, UniqueRunName());
  if (mkdir(folder.c_str(), 0777) != 0) return errno == EEXIST || errno == ENOENT ? kTryAgain : errno;
  const std::string lockPath = JoinPath(folder, kRunLockName);
  FileDescriptor lock(open(lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!lock.IsOpen()) return errno == ENOENT || errno == EEXIST ? kTryAgain : errno;
  int locked;
  do locked = flock(lock.Get(), LOCK_EX);
  while (locked != 0 && errno == EINTR);
  // Where locks are not to be had, no clean-up can take them either: the
  // folder counts as alive, and the copy goes on.
  if (locked != 0 && errno != ENOLCK && errno != EOPNOTSUPP && errno != ENOSYS) return errno;
  if (!SameFile(lock.Get(), lockPath)) return kTryAgain;
  m_folder = folder;
  m_lock = std::move(lock);
  return 0;
}

std::string CCopyRunFolder::TemporaryPathFor(const std::string& finalPath) {
  const size_t slash = finalPath.rfind('/');
  const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
  return JoinPath(m_folder, std::to_string(++m_made) + TemporaryNameFor(name));
}

void CCopyRunFolder::Release() {
  if (m_folder.empty()) return;
  RemoveRunTemporaries(m_folder);  // the lock still held: no other run touches them meanwhile
  m_lock.Close();
  RemoveEmptyRunFolder(m_folder);
  rmdir(PartialFolderOf(m_root).c_str());
  m_folder.clear();
  m_error.reset();
}

}  // namespace koral
