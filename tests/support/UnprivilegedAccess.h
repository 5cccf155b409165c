// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

namespace koral::test {

// While it lives, this thread's file accesses are checked as those of an
// ordinary user ("nobody"): root would read a folder whatever its mode.
// Folders on the way must let others through.
class UnprivilegedAccess {
 public:
  UnprivilegedAccess()
      : m_savedGroup(static_cast<gid_t>(setfsgid(kNobody))), m_saved(static_cast<uid_t>(setfsuid(kNobody))) {}
  ~UnprivilegedAccess() {
    setfsuid(m_saved);
    setfsgid(m_savedGroup);
  }
  UnprivilegedAccess(const UnprivilegedAccess&) = delete;
  UnprivilegedAccess& operator=(const UnprivilegedAccess&) = delete;

 private:
  static constexpr unsigned kNobody = 65534;
  gid_t m_savedGroup;
  uid_t m_saved;
};

}  // namespace koral::test
