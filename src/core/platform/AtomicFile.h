// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace koral {

// Reads a whole regular file without blocking; nullopt when it cannot be
// opened or is no regular file (platform/RegularFile.h tells which).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path);

// Writes a file so that a crash never leaves it half written: the bytes go
// to a temporary file in the same folder, which then replaces the target.
// The target's permission bits are kept; a symbolic link is written
// through, to the file it names. Returns false when it failed, and
// the target is then untouched.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace koral
