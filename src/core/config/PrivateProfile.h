// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/platform/AtomicFile.h"

namespace koral {

// INI files with the conventions of the Windows private-profile functions:
// section and key names match without regard to case, values are trimmed,
// a write replaces one value in place and keeps every other byte of the file.
// Files that are not valid UTF-8 are read as Windows-1252, and a write keeps
// every other value reading as it did.

// The value, or nullopt when the file, the section or the key is missing.
std::optional<std::string> FindPrivateProfileString(std::string_view section, std::string_view key,
                                                    const std::filesystem::path& file);

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    const std::filesystem::path& file);

// The value read with an empty default and converted as atoi converts it.
int GetPrivateProfileInt(std::string_view section, std::string_view key, const std::filesystem::path& file);

// Files are read up to kConfigIniSizeLimit: a larger one reads as missing.

// kFailed when the file could not be written, or when a name or the value
// holds a line break or is not UTF-8; kReadOnly when the user made the file
// read-only. Nothing is written then. A file that exists but cannot be read
// whole is never replaced.
FileWriteStatus WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                                          const std::filesystem::path& file);
FileWriteStatus WritePrivateProfileInt(std::string_view section, std::string_view key, int value,
                                       const std::filesystem::path& file);

// Every file a write above left unchanged in this run (a refused value
// aside), each once, in the order they failed: the window tells its user
// at exit that the options were not saved.
struct UnwrittenProfileFile {
  std::filesystem::path file;
  FileWriteStatus status;
};
std::vector<UnwrittenProfileFile> UnwrittenProfileFiles();

// "Les options n'ont pas pu être enregistrées : '/…/Config.ini' est en lecture seule."
std::string UnwrittenOptionsText(const UnwrittenProfileFile& unwritten);

// The same on the bytes of a file held in memory. SetProfileValue returns
// the new bytes, nullopt when the write is refused.
std::optional<std::string> FindProfileValue(std::string_view bytes, std::string_view section, std::string_view key);
std::optional<std::string> SetProfileValue(std::string_view bytes, std::string_view section, std::string_view key,
                                           std::string_view value);

// The section names of a file in memory, in file order; a name spelt twice
// (without regard to case) is listed once, as first spelt.
std::vector<std::string> ProfileSectionNames(std::string_view bytes);

// The keys and values of a section as the reads see them: in file order, a
// key given twice only with its first value. Empty when the section is missing.
using ProfileEntries = std::vector<std::pair<std::string, std::string>>;
ProfileEntries ProfileSectionEntries(std::string_view bytes, std::string_view section);

// atoi: leading blanks, an optional sign, then decimal digits up to the first
// other character; no digits gives 0. Out-of-range values saturate.
int Atoi(std::string_view text);

}  // namespace koral
