// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/AtomicFile.h"

namespace koral {

// [firmware] versionsdispo cut at every single space: two spaces in a row
// (or a leading space) give an empty entry, a trailing space adds nothing.
// Names are kept whole, however long.
std::vector<std::string> SplitAvailableVersions(std::string_view versionsdispo);

// The entries in the order the version list shows them: alphabetical
// without regard to case, equal names in their original order.
std::vector<std::string> SortVersionsForList(std::vector<std::string> versions);

// The entry of the shown list that stands for the current version: an entry
// equal to it (without regard to case) first; otherwise the first entry
// that begins with it, searched from the second entry and wrapping round.
std::optional<size_t> FindCurrentVersionEntry(const std::vector<std::string>& entries, std::string_view current);

// The list as the firmware dialog shows it, read from Config.ini.
std::vector<std::string> ReadVersionList(const std::filesystem::path& configIni);

// The entry the firmware dialog selects for a version when it opens, read
// from Config.ini; nullopt when it selects none or an empty entry.
std::optional<std::string> ListedVersionFor(const std::filesystem::path& configIni, std::string_view version);

// [firmware] version of Config.ini: the name of the section holding the
// offsets of the settings image for the player's firmware.
std::string ReadFirmwareVersion(const std::filesystem::path& configIni);

// Writes [firmware] version; Config.ini is left as it was unless kWritten.
FileWriteStatus SaveFirmwareVersion(const std::filesystem::path& configIni, std::string_view version);

}  // namespace koral
