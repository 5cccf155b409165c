// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/mount.h>

#include <filesystem>

namespace koral::test {

// A folder bound onto itself read-only while this lives, as a player
// whose write-protect switch is on. Not every user may mount: check Held().
class ReadOnlyMount {
 public:
  explicit ReadOnlyMount(std::filesystem::path folder) : m_folder(std::move(folder)) {
    if (mount(m_folder.c_str(), m_folder.c_str(), nullptr, MS_BIND, nullptr) != 0) return;
    m_bound = true;
    m_held = mount(nullptr, m_folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
  }
  ~ReadOnlyMount() {
    if (m_bound) umount2(m_folder.c_str(), MNT_DETACH);
  }
  ReadOnlyMount(const ReadOnlyMount&) = delete;
  ReadOnlyMount& operator=(const ReadOnlyMount&) = delete;

  bool Held() const { return m_held; }

 private:
  std::filesystem::path m_folder;
  bool m_bound = false;
  bool m_held = false;
};

}  // namespace koral::test
