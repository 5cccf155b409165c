// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/platform/RunContext.h"
#include "core/platform/Volumes.h"

namespace koral {

struct DriveScan {
  std::optional<std::string> playerRoot;    // the player's mount point, no trailing slash
  std::vector<std::string> computerDrives;  // the drive combo: every volume that is not a player candidate
};

// The player is the last removable volume (never a floppy); among several,
// the last whose root holds Settings.dat. Removable volumes never go into
// the computer's drive list; a removable floppy does.
DriveScan ScanDrives(const std::vector<Volume>& volumes);

// ScanDrives on the context's volumes, unless the context names the
// player's root: then detection is skipped and that folder is the player.
DriveScan DetectDrives(const RunContext& context);

// The same rule for the settings windows and koralctl.
std::optional<std::string> FindPlayerRoot(const RunContext& context);

}  // namespace koral
