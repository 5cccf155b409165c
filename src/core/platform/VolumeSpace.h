// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace koral {

// Bytes available to the user on the volume that holds the path; 0 when
// the volume cannot be queried.
std::uint64_t AvailableBytes(const std::filesystem::path& path);

// The largest file the volume that holds the path can store: 4 GiB - 1 on
// FAT (vfat, msdos); nullopt when there is no such limit or it is unknown.
std::optional<std::uint64_t> MaxFileSizeOf(const std::filesystem::path& path);

// True when the path lies on a FUSE volume (a FAT or exFAT player mounted
// by a program, not the kernel): its writes reach the program at once, and
// it finds a file by walking its path, folder entry by folder entry.
bool IsFuseVolume(const std::filesystem::path& path);

// A copy of `needMebibytes` fits only when it is below the free space.
bool HasRoomFor(float needMebibytes, std::uint64_t availableBytes);

}  // namespace koral
