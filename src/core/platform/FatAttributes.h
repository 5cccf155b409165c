// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// Sets the FAT "hidden" attribute of a file or folder, so that the player's
// own browser leaves it out. Skipped where the file system or its driver
// has no such attribute (another file system, FUSE) or refuses it.
void SetFatHidden(const std::string& path);

}  // namespace koral
