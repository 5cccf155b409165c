// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/MountTableWatch.h"

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace koral {
namespace {

constexpr long kProcSuperMagic = 0x9fa0;

}  // namespace

MountTableWatch::MountTableWatch(std::string path) : m_path(std::move(path)) {
  m_descriptor = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
  struct statfs fileSystem {};
  m_signals = m_descriptor >= 0 && ::fstatfs(m_descriptor, &fileSystem) == 0 &&
              static_cast<long>(fileSystem.f_type) == kProcSuperMagic;
  m_last = Read();
}

MountTableWatch::~MountTableWatch() {
  if (m_descriptor >= 0) ::close(m_descriptor);
}

// Through the kept descriptor when it signals: reading it to the end is what
// clears the kernel's mark. A plain file is opened anew, as a test replaces it.
std::string MountTableWatch::Read() const {
  if (!m_signals) {
    std::ifstream in(m_path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string text;
  char buffer[8192];
  off_t offset = 0;
  for (ssize_t count; (count = ::pread(m_descriptor, buffer, sizeof buffer, offset)) > 0; offset += count)
    text.append(buffer, static_cast<size_t>(count));
  return text;
}

bool MountTableWatch::Changed() {
  std::string now = Read();
  if (now == m_last) return false;
  m_last = std::move(now);
  return true;
}

}  // namespace koral
