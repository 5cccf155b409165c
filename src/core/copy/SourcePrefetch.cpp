// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/SourcePrefetch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <limits>

#include "core/platform/FileDescriptor.h"

namespace koral {
namespace {

// Enough to keep a few reads on their way, little enough for the pages to
// still be there when the copy comes to them.
constexpr std::size_t kStepsAhead = 16;
// A larger file is read ahead by the kernel as it is copied; reading it here
// as well only makes the current file's reads wait behind it.
constexpr off_t kLargestFileReadAhead = 1024 * 1024;

void StartReading(const std::string& path) {
  struct stat info {};
  // Devices and pipes are never opened here.
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kLargestFileReadAhead) return;
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.IsOpen()) readahead(file.Get(), 0, static_cast<size_t>(info.st_size));
}

}  // namespace

CSourcePrefetch::CSourcePrefetch(const CopyPlan& plan) : m_plan(plan), m_thread([this] { Work(); }) {}

CSourcePrefetch::~CSourcePrefetch() {
  m_stopping = true;
  m_reached.store(std::numeric_limits<std::size_t>::max());
  m_reached.notify_one();
  m_thread.join();
}

void CSourcePrefetch::Reached(std::size_t step) {
  m_reached.store(step);
  // Woken only once it has fallen half behind: a wake-up per file would
  // cost the copy a system call per file.
  if (m_waiting.load() && step >= m_wakeAt.load()) m_reached.notify_one();
}

void CSourcePrefetch::Work() {
  const std::vector<CopyStep>& steps = m_plan.steps;
  for (std::size_t next = 1; next < steps.size() && !m_stopping; ++next) {  // the copy reads the first itself
    for (std::size_t reached = m_reached.load(); next > reached && next - reached > kStepsAhead;
         reached = m_reached.load()) {
      m_wakeAt.store(next - kStepsAhead / 2);
      m_waiting.store(true);
      for (std::size_t now = m_reached.load(); now < m_wakeAt.load(); now = m_reached.load()) m_reached.wait(now);
      m_waiting.store(false);
    }
    if (m_stopping) return;
    if (steps[next].kind == CopyStep::Kind::CopyFile && next > m_reached.load()) StartReading(steps[next].source);
  }
}

}  // namespace koral
