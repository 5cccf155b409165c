// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/VolumeSpace.h"

#include <linux/magic.h>
#include <sys/statfs.h>

namespace koral {

std::uint64_t AvailableBytes(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(path, error);
  return error ? 0 : space.available;
}

std::optional<std::uint64_t> MaxFileSizeOf(const std::filesystem::path& path) {
  struct statfs volume {};
  if (statfs(path.c_str(), &volume) != 0) return std::nullopt;
  if (volume.f_type == MSDOS_SUPER_MAGIC) return std::uint64_t{0xFFFFFFFF};
  return std::nullopt;
}

bool IsFuseVolume(const std::filesystem::path& path) {
  struct statfs volume {};
  return statfs(path.c_str(), &volume) == 0 && volume.f_type == FUSE_SUPER_MAGIC;
}

bool HasRoomFor(float needMebibytes, std::uint64_t availableBytes) {
  const double freeMebibytes = static_cast<double>(availableBytes) / 1048576.0;
  return static_cast<double>(needMebibytes) < freeMebibytes;
}

}  // namespace koral
