// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/FileDescriptor.h"

namespace koral {

RegularFileRead ReadRegularFile(const std::filesystem::path& path) {
  RegularFileRead read;
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat info {};
  if (!file.IsOpen() || fstat(file.Get(), &info) != 0) return read;
  if (!S_ISREG(info.st_mode)) {
    read.notRegularFile = !S_ISDIR(info.st_mode);
    return read;
  }
  std::string bytes;
  bytes.reserve(static_cast<size_t>(info.st_size));
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return read;
    if (got == 0) break;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  read.bytes = std::move(bytes);
  return read;
}

}  // namespace koral
