// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace koral {

// The XDG base folders, with their usual defaults under $HOME.
std::filesystem::path XdgConfigHome();
std::filesystem::path XdgStateHome();
std::filesystem::path XdgDataHome();

}  // namespace koral
