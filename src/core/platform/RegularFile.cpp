// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/platform/FileDescriptor.h"

namespace koral {
namespace {

// Reads to the end, or fails once more than `limit` bytes came.
bool ReadAll(int fd, std::uint64_t limit, RegularFileRead& read, std::string& bytes) {
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      read.error = errno;
      return false;
    }
    if (got == 0) return true;
    if (static_cast<std::uint64_t>(got) > limit - bytes.size()) {
      read.tooLarge = true;
      return false;
    }
    bytes.append(chunk, static_cast<size_t>(got));
  }
}

}  // namespace

RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::uint64_t limit) {
  RegularFileRead read;
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (!file.IsOpen() || fstat(file.Get(), &info) != 0) {
    read.error = errno;
    return read;
  }
  if (!S_ISREG(info.st_mode)) {
    read.notRegularFile = !S_ISDIR(info.st_mode);
    read.error = S_ISDIR(info.st_mode) ? EISDIR : 0;
    return read;
  }
  if (static_cast<std::uint64_t>(info.st_size) > limit) {
    read.tooLarge = true;
    return read;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(info.st_size));
  if (ReadAll(file.Get(), limit, read, bytes)) read.bytes = std::move(bytes);
  return read;
}

std::string SizeLimitText(std::uint64_t limit) {
  if (limit >= 1024 * 1024 && limit % (1024 * 1024) == 0) return std::to_string(limit / (1024 * 1024)) + " Mo";
  if (limit >= 1024 && limit % 1024 == 0) return std::to_string(limit / 1024) + " Ko";
  return std::to_string(limit) + " octets";
}

}  // namespace koral
