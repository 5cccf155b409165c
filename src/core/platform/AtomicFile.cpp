// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/RegularFile.h"

namespace koral {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  return ReadRegularFile(path).bytes;
}

bool WriteFileAtomically(const std::filesystem::path& link, const std::string& bytes) {
  // A linked file (a configuration kept elsewhere) is written where the link
  // leads; replacing the link itself would cut it off.
  std::error_code error;
  std::filesystem::path path = link;
  if (std::filesystem::is_symlink(link, error)) path = std::filesystem::weakly_canonical(link, error);
  if (error) path = link;
  std::string temp = path.string() + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old {};
  const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  fchmod(fd, mode);
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool ok = written == bytes.size() && fsync(fd) == 0;
  if (close(fd) != 0 || !ok || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace koral
