// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "core/platform/RunContext.h"

namespace koral {

// The folder holding Config.ini and Radios.ini: the context's config folder
// when given (--config-dir, KORAL_CONFIG_DIR); else the executable's folder
// when it holds Config.ini (build tree, portable use); else
// $XDG_CONFIG_HOME/koral-config, seeded on first use with the installed defaults.
std::filesystem::path ProgramFolder(const RunContext& context);

// For the start of a run: the program folder, and when it is the user's own,
// the firmware versions that an upgrade added to the installed defaults
// brought into its Config.ini (see AddNewFirmware).
std::filesystem::path PrepareProgramFolder(const RunContext& context);

std::filesystem::path ConfigIniPath(const RunContext& context);
std::filesystem::path RadiosIniPath(const RunContext& context);

// Where the installed default Config.ini and Radios.ini live: beside the
// installed executable (../share/koral-config from its folder), so that an
// installation moved elsewhere, or staged in a DESTDIR, finds its own; else
// the folder of the configured installation.
std::filesystem::path InstalledDataFolder();

}  // namespace koral
