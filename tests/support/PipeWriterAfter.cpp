// SPDX-License-Identifier: GPL-3.0-or-later
#include "PipeWriterAfter.h"

#include <fcntl.h>
#include <unistd.h>

namespace koral::test {

PipeWriterAfter::PipeWriterAfter(std::filesystem::path pipe, std::chrono::milliseconds delay)
    : m_pipe(std::move(pipe)), m_writer([this, delay] {
        std::unique_lock lock(m_mutex);
        auto wait = delay;
        // Each reader that comes to wait is released in turn. An open only
        // succeeds while a reader waits: without one, there is nothing to do.
        while (!m_done.wait_for(lock, wait, [this] { return m_finished; })) {
          const int fd = open(m_pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
          if (fd >= 0) close(fd);
          wait = std::chrono::milliseconds(20);
        }
      }) {}

PipeWriterAfter::~PipeWriterAfter() {
  {
    const std::lock_guard lock(m_mutex);
    m_finished = true;
  }
  m_done.notify_all();
  m_writer.join();
}

}  // namespace koral::test
