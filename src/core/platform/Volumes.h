// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace koral {

// One mounted volume of the machine.
struct Volume {
  std::string mountPoint;  // without a trailing slash, "/" for the root
  std::string device;      // "/dev/sdb1", or the mount source for other file systems
  bool removable = false;
};

// The machine's volume list, in mount-point order.
class VolumeSource {
 public:
  virtual ~VolumeSource() = default;
  virtual std::vector<Volume> List() const = 0;
};

// Reads /proc/self/mountinfo and sysfs. Both paths can be moved for tests.
class LinuxVolumeSource final : public VolumeSource {
 public:
  explicit LinuxVolumeSource(std::string mountInfo = "/proc/self/mountinfo", std::string sysBlock = "/sys/class/block");
  std::vector<Volume> List() const override;

 private:
  std::string m_mountInfo;
  std::string m_sysBlock;
};

// A fixed list, for tests.
class FixedVolumeSource final : public VolumeSource {
 public:
  explicit FixedVolumeSource(std::vector<Volume> volumes) : m_volumes(std::move(volumes)) {}
  std::vector<Volume> List() const override { return m_volumes; }

 private:
  std::vector<Volume> m_volumes;
};

// The volumes every caller of DetectDrives sees: those of the given mount
// table and sysfs block folder, unless a test has put another source in
// place (the caller keeps it alive).
std::vector<Volume> CurrentVolumes(const std::string& mountInfo, const std::string& sysBlock);
void SetVolumeSourceForTesting(const VolumeSource* source);

}  // namespace koral
