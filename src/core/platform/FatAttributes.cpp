// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/FatAttributes.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>

#include <cstdint>

#include "core/platform/FileDescriptor.h"

namespace koral {

void SetFatHidden(const std::string& path) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!file.IsOpen()) return;
  std::uint32_t attributes = 0;
  if (ioctl(file.Get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) != 0 || (attributes & ATTR_HIDDEN) != 0) return;
  attributes |= ATTR_HIDDEN;
  ioctl(file.Get(), FAT_IOCTL_SET_ATTRIBUTES, &attributes);
}

}  // namespace koral
