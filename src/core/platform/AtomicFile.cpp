// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/AtomicFile.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "core/platform/FileDescriptor.h"

namespace koral {
namespace {

bool IsImmutable(const std::filesystem::path& path) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  int flags = 0;
  // File systems without these flags (tmpfs, vfat) answer ENOTTY: not immutable.
  return file.IsOpen() && ioctl(file.Get(), FS_IOC_GETFLAGS, &flags) == 0 &&
         (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

// A symbolic link is written through, to the file it names.
std::filesystem::path WrittenPath(const std::filesystem::path& link) {
  std::error_code error;
  if (!std::filesystem::is_symlink(link, error)) return link;
  std::filesystem::path path = std::filesystem::weakly_canonical(link, error);
  return error ? link : path;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

FileWriteStatus StatusOf(int error) {
  return error == EROFS || error == EPERM ? FileWriteStatus::kReadOnly : FileWriteStatus::kFailed;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t limit) {
  return ReadRegularFile(path, limit).bytes;
}

bool IsWriteProtected(const std::filesystem::path& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  if ((info.st_mode & S_IWUSR) == 0) return true;
  struct statvfs volume {};
  if (statvfs(path.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0) return true;
  return S_ISREG(info.st_mode) && IsImmutable(path);
}

FileWriteStatus ReplaceFile(const std::filesystem::path& link, const std::string& bytes) {
  const std::filesystem::path path = WrittenPath(link);
  if (IsWriteProtected(path)) return FileWriteStatus::kReadOnly;
  std::string temp = path.string() + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return StatusOf(errno);
  struct stat old {};
  const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  fchmod(fd, mode);
  const bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
  if (close(fd) != 0 || !ok) {
    unlink(temp.c_str());
    return FileWriteStatus::kFailed;
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temp.c_str());
    return StatusOf(error);
  }
  return FileWriteStatus::kWritten;
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
  return ReplaceFile(path, bytes) == FileWriteStatus::kWritten;
}

}  // namespace koral
