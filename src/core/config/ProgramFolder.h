#pragma once

#include <filesystem>

namespace koral {

// The folder holding Config.ini and Radios.ini: KORAL_CONFIG_DIR when set
// (the --config-dir option sets it); else the executable's folder when it
// holds Config.ini (build tree, portable use); else $XDG_CONFIG_HOME/koral-config,
// seeded on first use with the installed defaults.
std::filesystem::path ProgramFolder();

std::filesystem::path ConfigIniPath();
std::filesystem::path RadiosIniPath();

// Where the installed default Config.ini and Radios.ini live.
std::filesystem::path InstalledDataFolder();

}  // namespace koral
