// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace koral::test {

// A file the system refuses to delete, even to root, while this lives: the
// immutable flag. Not every file system or user can set it: check Held().
class Undeletable {
 public:
  explicit Undeletable(std::filesystem::path path);
  ~Undeletable();
  Undeletable(const Undeletable&) = delete;
  Undeletable& operator=(const Undeletable&) = delete;

  bool Held() const { return m_held; }

 private:
  bool SetImmutable(bool on) const;

  std::filesystem::path m_path;
  bool m_held;
};

}  // namespace koral::test
