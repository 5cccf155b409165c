// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/mount.h>

#include <filesystem>

namespace koral::test {

// A file system mounted on a folder while this lives: a small tmpfs, or
// another folder bound there. Not every user may mount: check Held().
class ScopedMount {
 public:
  // A tmpfs of the given options ("size=512k").
  ScopedMount(const std::filesystem::path& target, const char* tmpfsOptions)
      : m_target(target), m_held(mount("tmpfs", target.c_str(), "tmpfs", 0, tmpfsOptions) == 0) {}
  // `source` bound on `target`: the same device, another mount.
  ScopedMount(const std::filesystem::path& source, const std::filesystem::path& target)
      : m_target(target), m_held(mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0) {}
  ~ScopedMount() {
    if (m_held) umount2(m_target.c_str(), MNT_DETACH);
  }
  ScopedMount(const ScopedMount&) = delete;
  ScopedMount& operator=(const ScopedMount&) = delete;

  bool Held() const { return m_held; }

 private:
  std::filesystem::path m_target;
  bool m_held;
};

}  // namespace koral::test
