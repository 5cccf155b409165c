// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

namespace koral {

// Where a module of the program (the eject, the conversion) lives: beside
// the executable as installed or built (../lib/koral-config from its
// folder), so that a moved or staged installation loads its own; else the
// folder the installation was configured with.
std::filesystem::path InstalledModulePath(std::string_view fileName);

}  // namespace koral
