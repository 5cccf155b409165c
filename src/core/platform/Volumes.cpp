// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/Volumes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace koral {
namespace {

namespace fs = std::filesystem;

// mountinfo escapes blanks and backslashes as \ooo.
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string octal = field.substr(i + 1, 3);
      if (octal.size() == 3 && std::all_of(octal.begin(), octal.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out += static_cast<char>(std::stoi(octal, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool Reads(const fs::path& file, const std::string& expected) {
  std::ifstream in(file);
  std::string value;
  return in >> value && value == expected;
}

bool IsMountedFile(const std::string& mountPoint) {
  std::error_code error;
  const fs::file_status status = fs::status(mountPoint, error);
  return !error && fs::exists(status) && !fs::is_directory(status);
}

// Optical drives report themselves removable, yet a disc is no player.
bool IsOptical(const fs::path& disk) {
  return disk.filename().string().rfind("sr", 0) == 0 || Reads(disk / "device/type", "5");
}

bool IsRemovable(const std::string& device, const std::string& sysBlock) {
  if (device.rfind("/dev/", 0) != 0) return false;
  std::error_code error;
  const fs::path real = fs::canonical(device, error);
  const std::string name = (error ? fs::path(device) : real).filename().string();
  fs::path block = fs::path(sysBlock) / name;
  if (!fs::exists(block, error)) return false;
  const fs::path resolved = fs::canonical(block, error);
  if (error) return false;
  // A partition's removable flag sits on the disk it belongs to.
  const fs::path disk = fs::exists(block / "partition", error) ? resolved.parent_path() : resolved;
  if (IsOptical(disk)) return false;
  return Reads(disk / "removable", "1") || resolved.string().find("/usb") != std::string::npos;
}

const VolumeSource* g_testSource = nullptr;

}  // namespace

LinuxVolumeSource::LinuxVolumeSource(std::string mountInfo, std::string sysBlock)
    : m_mountInfo(std::move(mountInfo)), m_sysBlock(std::move(sysBlock)) {}

std::vector<Volume> LinuxVolumeSource::List() const {
  const std::string& sysBlock = m_sysBlock;
  std::ifstream in(m_mountInfo);
  std::map<std::string, Volume> byMountPoint;  // a later mount over the same point wins
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, root, mountPoint, options, field;
    fields >> id >> parent >> numbers >> root >> mountPoint >> options;
    while (fields >> field && field != "-") {
    }
    std::string type, source;
    fields >> type >> source;
    mountPoint = Unescape(mountPoint);
    source = Unescape(source);
    const bool blockDevice = source.rfind("/dev/", 0) == 0;
    if (!blockDevice && mountPoint != "/") continue;                // pseudo file systems
    if (type == "squashfs" || IsMountedFile(mountPoint)) continue;  // package images, files bound by containers
    Volume volume{mountPoint, source, IsRemovable(source, sysBlock)};
    byMountPoint[mountPoint] = std::move(volume);
  }
  std::vector<Volume> volumes;
  for (auto& [point, volume] : byMountPoint) volumes.push_back(std::move(volume));
  return volumes;
}

std::vector<Volume> CurrentVolumes(const std::string& mountInfo, const std::string& sysBlock) {
  if (g_testSource != nullptr) return g_testSource->List();
  return LinuxVolumeSource(mountInfo, sysBlock).List();
}

void SetVolumeSourceForTesting(const VolumeSource* source) { g_testSource = source; }

}  // namespace koral
