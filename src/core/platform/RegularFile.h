// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace koral {

// A whole file read, or why it was not.
struct RegularFileRead {
  std::optional<std::string> bytes;
  bool notRegularFile = false;  // a pipe, a device or a socket: refused without reading
};

// Reads a regular file whole. The open never waits: a pipe put in a file's
// place would otherwise block until a writer comes, which may be never.
RegularFileRead ReadRegularFile(const std::filesystem::path& path);

}  // namespace koral
