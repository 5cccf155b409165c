// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/platform/RegularFile.h"

namespace koral {

// Reads a whole regular file without blocking; nullopt when it cannot be
// opened, is no regular file or is over `limit` bytes (platform/RegularFile.h
// tells which).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t limit = kNoSizeLimit);

enum class [[nodiscard]] FileWriteStatus{
    kWritten,
    kReadOnly,  // the user made the file read-only: left as it was
    kFailed,    // any other failure: left as it was
};

// True when the user has made an existing file read-only: its owner has no
// write permission, it is immutable, or its file system is mounted
// read-only. Checked from the file itself rather than with access(), which
// lets root through whatever the mode says.
bool IsWriteProtected(const std::filesystem::path& path);

// Writes a file so that a crash never leaves it half written: the bytes go
// to a temporary file in the same folder, which then replaces the target.
// The target's permission bits are kept; a symbolic link is written
// through, to the file it names. A write-protected target is never
// replaced. On any failure the target is untouched.
FileWriteStatus ReplaceFile(const std::filesystem::path& path, const std::string& bytes);

// ReplaceFile, true when written.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace koral
