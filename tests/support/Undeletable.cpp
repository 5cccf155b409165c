// SPDX-License-Identifier: GPL-3.0-or-later
#include "Undeletable.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace koral::test {

Undeletable::Undeletable(std::filesystem::path path) : m_path(std::move(path)), m_held(SetImmutable(true)) {}

Undeletable::~Undeletable() {
  if (m_held) SetImmutable(false);
}

bool Undeletable::SetImmutable(bool on) const {
  const int fd = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return done;
}

}  // namespace koral::test
