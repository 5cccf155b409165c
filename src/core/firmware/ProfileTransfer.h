// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/firmware/Profile.h"
#include "core/platform/AtomicFile.h"
#include "core/settings/ImagePassResult.h"

namespace koral {

// Where a profile's fields lie in the settings image of one firmware version.
struct ProfileLayout {
  std::optional<int> radioCount;       // nbradios, held to 0..20; nullopt when the key is missing
  std::optional<int> radioOffset;      // offsetradio
  std::optional<int> equaliserOffset;  // offseteq
};
ProfileLayout ReadProfileLayout(const std::filesystem::path& configIni, std::string_view version);

struct [[nodiscard]] ProfileOperationResult {
  ImagePassResult pass = ImagePassResult::kOk;
  std::vector<ProfileIssue> issues;
  bool profileWritten = false;  // save only: false when the file could not be written
  int radiosLoaded = 0;         // load only: the radio memories written to the image
  bool persoLoaded = false;     // load only: the Perso curve written to the image
  bool profileRefused = false;  // load only: no profile to load at all, the image untouched
  FileWriteStatus folderRemembered = FileWriteStatus::kWritten;  // the profile folder in Config.ini
};

// What a load that went through wrote: "Profil chargé dans l'Koral : 20
// mémoires radio et la courbe de l'égaliseur \"Perso\"."
std::string DescribeLoadedProfile(const ProfileOperationResult& result);

// The folder remembered in [repertoires] profil for a chosen profile file:
// the path before its last slash ("/" for a file of the root, empty without one).
std::string ProfileFolderOf(std::string_view profilePath);

// "Sauver": remembers the profile folder, reads the radio memories and the
// Perso preset from the image of the given firmware version, then writes
// the profile file whole. Nothing is written to the file when the pass failed.
ProfileOperationResult SaveProfile(const std::filesystem::path& configIni, std::string_view version,
                                   const std::optional<std::string>& playerRoot,
                                   const std::filesystem::path& profileFile);

// "Charger": remembers the profile folder, reads and checks the whole
// profile, then writes what it holds into the image: each radio memory as
// its whole 3-byte record, the Perso preset's fifteen bytes.
ProfileOperationResult LoadProfile(const std::filesystem::path& configIni, std::string_view version,
                                   const std::optional<std::string>& playerRoot,
                                   const std::filesystem::path& profileFile);

}  // namespace koral
