// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// Tells when volumes are mounted or unmounted. The kernel marks the mount
// table's descriptor with POLLPRI on every change, as GIO's monitor relies on;
// a plain file (a test's table) has no such signal and is compared when asked.
class MountTableWatch {
 public:
  // The mount table the volume list is read from: /proc/self/mountinfo, or
  // a file a test rewrites to plug a player in.
  explicit MountTableWatch(std::string path);
  ~MountTableWatch();
  MountTableWatch(const MountTableWatch&) = delete;
  MountTableWatch& operator=(const MountTableWatch&) = delete;

  // The descriptor to poll for POLLPRI, or -1 when the table cannot signal
  // (then Changed() is to be asked now and then).
  int SignalDescriptor() const { return m_signals ? m_descriptor : -1; }

  // Whether the table differs from the last reading; reading it also
  // acknowledges the kernel's signal.
  bool Changed();

 private:
  std::string Read() const;

  std::string m_path;
  int m_descriptor = -1;
  bool m_signals = false;
  std::string m_last;
};

}  // namespace koral
