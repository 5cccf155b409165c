#include "PipeWriterAfter.h"

#include <fcntl.h>
#include <unistd.h>

namespace koral::test {

PipeWriterAfter::PipeWriterAfter(std::filesystem::path pipe, std::chrono::milliseconds delay)
    : m_pipe(std::move(pipe)), m_writer([this, delay] {
        std::unique_lock lock(m_mutex);
        if (m_done.wait_for(lock, delay, [this] { return m_finished; })) return;
        // Opens only while a reader waits: without one, there is nothing to release.
        const int fd = open(m_pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) close(fd);
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
