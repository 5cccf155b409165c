// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace koral {

// The folder holding Config.ini and Radios.ini: KORAL_CONFIG_DIR when set
// (the --config-dir option sets it); else the executable's folder when it
// holds Config.ini (build tree, portable use); else $XDG_CONFIG_HOME/koral-config,
// seeded on first use with the installed defaults.
std::filesystem::path ProgramFolder();

// For the start of a run: the program folder, and when it is the user's own,
// the firmware versions that an upgrade added to the installed defaults
// brought into its Config.ini (see AddNewFirmware).
std::filesystem::path PrepareProgramFolder();

std::filesystem::path ConfigIniPath();
std::filesystem::path RadiosIniPath();

// Where the installed default Config.ini and Radios.ini live: beside the
// installed executable (../share/koral-config from its folder), so that an
// installation moved elsewhere, or staged in a DESTDIR, finds its own; else
// the folder of the configured installation.
std::filesystem::path InstalledDataFolder();

}  // namespace koral
