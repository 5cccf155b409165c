// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace koral {

// The longest name, in bytes, that every file system the player may be
// mounted with accepts: FAT's 255 characters, and 255 bytes elsewhere.
inline constexpr std::size_t kLongestNameBytes = 255;

// A name cut to kLongestNameBytes: the end of its title goes, its
// extension and its start (a track number) stay.
std::string FitNameLength(const std::string& name);

// A name the player's FAT file system accepts: " * : < > ? \ | and control
// characters become '_', a name too long is cut (FitNameLength), trailing
// dots and spaces are dropped (FAT refuses a trailing space and silently
// strips trailing dots, which would make two names collide). A name left
// empty, or "." / "..", becomes "_".
std::string ToVfatName(const std::string& name);

// A character the player's FAT file system refuses in a name.
bool RefusedByVfat(unsigned char c);

}  // namespace koral
