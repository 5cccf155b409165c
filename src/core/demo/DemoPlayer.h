// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace koral {

// A player folder for trying the program without a device: a Settings.dat
// laid out for the firmware of Config.ini with plausible values, and a few
// music folders. Created once under dataHome/koral-config/demo-player
// ($XDG_DATA_HOME) and reused after. Returns the folder.
std::filesystem::path EnsureDemoPlayer(const std::filesystem::path& dataHome, const std::filesystem::path& configIni,
                                       const std::filesystem::path& radiosIni);

// Builds the demo player in the given folder (used by EnsureDemoPlayer and tests).
void CreateDemoPlayer(const std::filesystem::path& folder, const std::filesystem::path& configIni,
                      const std::filesystem::path& radiosIni);

}  // namespace koral
