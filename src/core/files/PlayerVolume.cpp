// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/PlayerVolume.h"

#include "core/files/Paths.h"

namespace koral {

namespace fs = std::filesystem;

namespace {

// The folder's own volume, through a link if it is one.
std::optional<VolumeId> FolderVolume(const fs::path& folder) { return VolumeOf(folder / "."); }

}  // namespace

CPlayerVolume::CPlayerVolume(const fs::path& root) {
  std::error_code error;
  m_root = fs::canonical(root, error);
  if (!error) m_volume = FolderVolume(m_root);
}

bool CPlayerVolume::OnPlayerVolume(const fs::path& folder) const {
  const std::optional<VolumeId> volume = FolderVolume(folder);
  return !volume || *volume == *m_volume;
}

std::optional<fs::path> CPlayerVolume::MountHolding(const fs::path& folder) const {
  if (!m_volume || OnPlayerVolume(folder)) return std::nullopt;
  std::error_code error;
  fs::path mount = fs::weakly_canonical(folder, error);
  if (error) mount = folder.lexically_normal();
  // Up to the last folder still off the player's volume: that is the mount point.
  for (fs::path parent = mount.parent_path(); parent != mount && PathHolds(m_root, parent) && parent != m_root;
       parent = mount.parent_path()) {
    if (OnPlayerVolume(parent)) break;
    mount = parent;
  }
  return mount;
}

}  // namespace koral
