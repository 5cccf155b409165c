// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>

#include "core/files/PlayerFileOps.h"

namespace koral {

// The player's own volume, against which every write is checked: another
// file system mounted inside the player, or a bind mount of some other
// folder, is another volume, and writing there would land off the player.
class CPlayerVolume {
 public:
  // A root that cannot be examined checks nothing: writes there fail anyway.
  explicit CPlayerVolume(const std::filesystem::path& root);

  // The mount point through which a write into `folder` would leave the
  // player's volume, the one nearest the root; nullopt when the folder lies
  // on the player's volume or cannot be examined. Links are followed.
  std::optional<std::filesystem::path> MountHolding(const std::filesystem::path& folder) const;

 private:
  bool OnPlayerVolume(const std::filesystem::path& folder) const;

  std::filesystem::path m_root;
  std::optional<VolumeId> m_volume;
};

}  // namespace koral
