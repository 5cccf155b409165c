// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace koral {

// The largest file of each kind the program reads whole. Each is far above
// any real file of its kind, and far below what would freeze the program.
inline constexpr std::uint64_t kProfileSizeLimit = 64 * 1024;               // about twenty short lines
inline constexpr std::uint64_t kPlaylistSizeLimit = 16 * 1024 * 1024;       // some 100 000 entries
inline constexpr std::uint64_t kConfigIniSizeLimit = 4 * 1024 * 1024;       // a few hundred firmware sections
inline constexpr std::uint64_t kRadiosIniSizeLimit = 64 * 1024 * 1024;      // every station of every city
inline constexpr std::uint64_t kSettingsImageSizeLimit = 16 * 1024 * 1024;  // the image of a small player
inline constexpr std::uint64_t kNoSizeLimit = UINT64_MAX;

// A whole file read, or why it was not.
struct RegularFileRead {
  std::optional<std::string> bytes;
  bool notRegularFile = false;  // a pipe, a device or a socket: refused without reading
  bool tooLarge = false;        // over the limit asked for: refused without reading
  int error = 0;                // errno of a failed open or read
};

// Reads a regular file whole. The open never waits: a pipe put in a file's
// place would otherwise block until a writer comes, which may be never. A
// file over `limit` bytes is refused from its size alone, before any byte
// is read, and one that grows past it while being read is refused too.
RegularFileRead ReadRegularFile(const std::filesystem::path& path, std::uint64_t limit = kNoSizeLimit);

// "64 Ko", "16 Mo": a limit as the messages give it.
std::string SizeLimitText(std::uint64_t limit);

}  // namespace koral
