// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// A name the player's FAT file system accepts: " * : < > ? \ | and control
// characters become '_', trailing dots and spaces are dropped (FAT refuses a
// trailing space and silently strips trailing dots, which would make two
// names collide). A name left empty, or "." / "..", becomes "_".
std::string ToVfatName(const std::string& name);

// A character the player's FAT file system refuses in a name.
bool RefusedByVfat(unsigned char c);

}  // namespace koral
