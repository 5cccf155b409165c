// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace koral {

// A user's Config.ini is seeded once from the installed defaults; an upgrade
// that brings a firmware version must still reach it. What a merge added:
struct FirmwareMerge {
  std::string bytes;                  // the user's file after the merge
  std::vector<std::string> sections;  // version sections added whole
  std::vector<std::string> versions;  // entries added to [firmware] versionsdispo
  bool AddedNothing() const { return sections.empty() && versions.empty(); }
};

// Adds to the user's bytes each version section (a section named by an entry
// of the defaults' versionsdispo) and each versionsdispo entry that the
// defaults have and the user's file lacks, names compared without regard to
// case. A key the user's file already has is never changed, nor a section it
// already has, even one that lacks keys: its layout is the user's own.
FirmwareMerge MergeNewFirmware(std::string_view defaults, std::string_view user);

// The same on the files, written only when something was added. False when
// the user's file could not be written; a missing file is left missing.
bool AddNewFirmware(const std::filesystem::path& defaultsIni, const std::filesystem::path& userIni);

}  // namespace koral
