// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace koral::fuzz {

// A property of the reader that must hold for every input; a broken one
// stops the run like a crash, with the input kept.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// Cuts one fuzz input into the pieces a target needs: short texts first,
// each with a one-byte length, then the rest as the file's bytes.
class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : m_bytes(reinterpret_cast<const char*>(data), size) {}

  uint8_t Byte() {
    if (m_bytes.empty()) return 0;
    const auto byte = static_cast<uint8_t>(m_bytes.front());
    m_bytes.remove_prefix(1);
    return byte;
  }
  std::string_view Text(size_t maxLength) {
    const size_t length = std::min<size_t>(Byte() % (maxLength + 1), m_bytes.size());
    const std::string_view text = m_bytes.substr(0, length);
    m_bytes.remove_prefix(length);
    return text;
  }
  std::string_view Rest() const { return m_bytes; }

 private:
  std::string_view m_bytes;
};

// A file in memory, for the readers that take a path. Rewritten for each input.
class MemoryFile {
 public:
  MemoryFile() : m_fd(memfd_create("koral-fuzz", 0)) { Require(m_fd >= 0, "memfd_create"); }
  ~MemoryFile() { close(m_fd); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  std::filesystem::path Hold(std::string_view bytes) {
    Require(ftruncate(m_fd, 0) == 0, "ftruncate");
    Require(pwrite(m_fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()), "pwrite");
    return "/proc/self/fd/" + std::to_string(m_fd);
  }

 private:
  int m_fd;
};

}  // namespace koral::fuzz
