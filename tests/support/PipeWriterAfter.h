// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace koral::test {

// Once a delay has passed, opens a pipe for writing and closes it, again
// and again: a reader blocked on it then gets an empty file, so that a test
// of a pipe that must not be waited on fails on its clock instead of hanging.
class PipeWriterAfter {
 public:
  PipeWriterAfter(std::filesystem::path pipe, std::chrono::milliseconds delay);
  ~PipeWriterAfter();
  PipeWriterAfter(const PipeWriterAfter&) = delete;
  PipeWriterAfter& operator=(const PipeWriterAfter&) = delete;

 private:
  std::filesystem::path m_pipe;
  std::mutex m_mutex;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_writer;
};

}  // namespace koral::test
