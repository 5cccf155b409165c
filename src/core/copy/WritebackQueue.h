// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/copy/CopyPlan.h"
#include "core/copy/WritebackWindow.h"
#include "core/platform/FileDescriptor.h"

namespace koral {

// A copied file still under its temporary name, kept open until its
// writeback is confirmed, so that a failed write is reported on its own
// descriptor (a closed file evicted from memory would lose the error).
struct StagedFile {
  FileDescriptor file;
  std::string temporary;
  std::string final;
  std::uint64_t unconfirmedBytes = 0;  // not yet known to be on the device
  std::uint64_t unstartedFrom = 0;     // writeback not started from there on
  std::uint64_t size = 0;
};

struct PublishedFiles {
  std::vector<std::string> paths;     // final paths, in the order published
  std::vector<CopyFailure> failures;  // by final path
};

// Copied files on their way to the device, oldest first. A thread of its
// own starts their writeback, a batch at a time, waits for it and gives
// each its final name in the order added (players play in directory-entry
// order), while the copy goes on with the next files. A file that fails
// never takes its final name, and its temporary goes.
class CWritebackQueue {
 public:
  explicit CWritebackQueue(CWritebackWindow& window);
  ~CWritebackQueue();  // files not yet published are removed, never named
  CWritebackQueue(const CWritebackQueue&) = delete;
  CWritebackQueue& operator=(const CWritebackQueue&) = delete;

  void Add(StagedFile file);
  // Blocks until at most maxBytes not yet confirmed, and maxFiles files,
  // remain, or a stop is requested.
  void WaitDownTo(std::uint64_t maxBytes, std::size_t maxFiles, std::stop_token stop = {});
  std::uint64_t UnconfirmedBytes() const;
  // What was published, or failed, since the last call.
  PublishedFiles TakePublished();

 private:
  void Work();
  std::vector<StagedFile> TakeBatch(std::unique_lock<std::mutex>& lock);
  void Publish(StagedFile& staged);
  std::optional<CopyFailure> ConfirmInSteps(StagedFile& staged);

  CWritebackWindow& m_window;
  mutable std::mutex m_mutex;
  std::condition_variable m_added;
  std::condition_variable_any m_published;  // any: a stop request ends its wait
  std::deque<StagedFile> m_pending;         // not yet taken by the thread
  std::uint64_t m_pendingBytes = 0;
  // Changed under the lock, read without it by the copy: a lock taken per
  // file on both sides would cost the copy system calls.
  std::atomic<std::uint64_t> m_unconfirmedBytes{0};  // pending and in the thread's hands
  std::atomic<std::size_t> m_files{0};
  std::atomic<bool> m_anyDone{false};
  int m_waiters = 0;
  bool m_idle = false;  // the thread waits for a first file
  bool m_stopping = false;
  PublishedFiles m_done;
  std::thread m_thread;  // last: it starts once the rest is built
};

}  // namespace koral
