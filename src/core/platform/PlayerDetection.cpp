// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/PlayerDetection.h"

#include <filesystem>

#include "core/files/Paths.h"

namespace koral {
namespace {

bool IsFloppy(const Volume& volume) { return volume.device.rfind("/dev/fd", 0) == 0; }

bool IsPlayerCandidate(const Volume& volume) { return volume.removable && !IsFloppy(volume); }

bool HoldsSettingsImage(const Volume& volume) {
  std::error_code error;
  return std::filesystem::is_regular_file(SettingsImagePath(volume.mountPoint), error);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

DriveScan ScanDrives(const std::vector<Volume>& volumes) {
  DriveScan scan;
  std::optional<std::string> lastWithImage;
  for (const Volume& volume : volumes) {
    if (!IsPlayerCandidate(volume)) {
      scan.computerDrives.push_back(volume.mountPoint);
      continue;
    }
    scan.playerRoot = volume.mountPoint;
    if (HoldsSettingsImage(volume)) lastWithImage = volume.mountPoint;
  }
  if (lastWithImage) scan.playerRoot = lastWithImage;
  return scan;
}

DriveScan DetectDrives(const RunContext& context) {
  const std::vector<Volume> volumes = CurrentVolumes(context.mountTable, context.sysBlock);
  if (!context.PlayerIsNamed()) return ScanDrives(volumes);
  const std::string& named = context.player;
  DriveScan scan;
  std::error_code error;
  const auto absolute = std::filesystem::absolute(named, error);
  scan.playerRoot = WithoutTrailingSlash(error ? named : absolute.lexically_normal().string());
  for (const Volume& volume : volumes)
    if (volume.mountPoint != *scan.playerRoot) scan.computerDrives.push_back(volume.mountPoint);
  return scan;
}

std::optional<std::string> FindPlayerRoot(const RunContext& context) { return DetectDrives(context).playerRoot; }

}  // namespace koral
