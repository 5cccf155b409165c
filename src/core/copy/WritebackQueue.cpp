// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/WritebackQueue.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <optional>
#include <utility>

namespace koral {
namespace {

// Writeback starts once about this much is waiting (one request per small
// file would slow the device), or sooner when the copy waits for it.
constexpr std::uint64_t kBatchBytes = 4 * 1024 * 1024;
constexpr auto kLongestHold = std::chrono::milliseconds(20);

constexpr unsigned kWaitForWholeFile = SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER;

CopyFailure Discard(const StagedFile& staged, CopyFault fault, int error) {
  unlink(staged.temporary.c_str());
  return {staged.final, fault, error};
}

void StartWriteback(const std::vector<StagedFile>& batch) {
  for (const StagedFile& staged : batch)
    if (staged.size > staged.unstartedFrom)
      sync_file_range(staged.file.Get(), static_cast<off_t>(staged.unstartedFrom),
                      static_cast<off_t>(staged.size - staged.unstartedFrom), SYNC_FILE_RANGE_WRITE);
}

std::optional<CopyFailure> WriteFailure(StagedFile& staged, int error) {
  staged.file.Close();
  const bool full = error == ENOSPC || error == EDQUOT;
  return Discard(staged, full ? CopyFault::PlayerFull : CopyFault::NotSynced, error);
}

// Once all its bytes are on the device.
std::optional<CopyFailure> CloseAndName(StagedFile& staged) {
  if (sync_file_range(staged.file.Get(), 0, 0, kWaitForWholeFile) != 0 || staged.file.Close() != 0)
    return WriteFailure(staged, errno);
  // The final name, and an existing track under it, change only now.
  if (rename(staged.temporary.c_str(), staged.final.c_str()) != 0)
    return Discard(staged, CopyFault::DestinationUnwritable, errno);
  return std::nullopt;
}

}  // namespace

CWritebackQueue::CWritebackQueue(CWritebackWindow& window) : m_window(window), m_thread([this] { Work(); }) {}

CWritebackQueue::~CWritebackQueue() {
  {
    const std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_added.notify_one();
  m_thread.join();
  for (StagedFile& staged : m_pending) {
    staged.file.Close();
    unlink(staged.temporary.c_str());
  }
}

void CWritebackQueue::Add(StagedFile file) {
  bool wake = false;
  {
    const std::lock_guard lock(m_mutex);
    const bool wasShort = m_pendingBytes < kBatchBytes;
    m_pendingBytes += file.size - file.unstartedFrom;
    m_unconfirmedBytes += file.unconfirmedBytes;
    ++m_files;
    m_pending.push_back(std::move(file));
    // A wake-up per file would cost the copy a system call per file.
    wake = m_idle || (wasShort && m_pendingBytes >= kBatchBytes);
  }
  if (wake) m_added.notify_one();
}

void CWritebackQueue::WaitDownTo(std::uint64_t maxBytes, std::size_t maxFiles, std::stop_token stop) {
  const auto enough = [&] { return m_unconfirmedBytes <= maxBytes && m_files <= maxFiles; };
  if (enough() || stop.stop_requested()) return;
  std::unique_lock lock(m_mutex);
  ++m_waiters;
  m_added.notify_one();  // nothing more comes meanwhile: what waits is a batch
  m_published.wait(lock, stop, enough);
  --m_waiters;
}

std::uint64_t CWritebackQueue::UnconfirmedBytes() const { return m_unconfirmedBytes; }

PublishedFiles CWritebackQueue::TakePublished() {
  if (!m_anyDone) return {};
  const std::lock_guard lock(m_mutex);
  m_anyDone = false;
  return std::exchange(m_done, {});
}

void CWritebackQueue::Work() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    std::vector<StagedFile> batch = TakeBatch(lock);
    if (batch.empty()) return;
    lock.unlock();
    StartWriteback(batch);
    for (StagedFile& staged : batch) Publish(staged);
    lock.lock();
  }
}

// Waits for a batch worth starting; empty once stopped.
std::vector<StagedFile> CWritebackQueue::TakeBatch(std::unique_lock<std::mutex>& lock) {
  const auto ready = [&] {
    return m_stopping || (!m_pending.empty() && (m_waiters > 0 || m_pendingBytes >= kBatchBytes));
  };
  while (!ready()) {
    if (m_pending.empty()) {
      m_idle = true;
      m_added.wait(lock);
      m_idle = false;
    } else if (!m_added.wait_for(lock, kLongestHold, ready)) {
      break;  // a slow source: what is there goes
    }
  }
  if (m_stopping) return {};
  std::vector<StagedFile> batch(std::make_move_iterator(m_pending.begin()), std::make_move_iterator(m_pending.end()));
  m_pending.clear();
  m_pendingBytes = 0;
  return batch;
}

void CWritebackQueue::Publish(StagedFile& staged) {
  std::optional<CopyFailure> failure = ConfirmInSteps(staged);
  if (!failure) failure = CloseAndName(staged);
  bool waited = false;
  {
    const std::lock_guard lock(m_mutex);
    if (failure) m_done.failures.push_back(std::move(*failure));
    else m_done.paths.push_back(std::move(staged.final));
    m_anyDone = true;
    m_unconfirmedBytes -= staged.unconfirmedBytes;
    --m_files;
    waited = m_waiters > 0;
  }
  if (waited) m_published.notify_all();
}

// The unconfirmed tail of a file, waited for and told a batch at a time, as
// the device writes it: confirmed whole at its end, a large file's tail
// would seem written in an instant, and free the window only then.
std::optional<CopyFailure> CWritebackQueue::ConfirmInSteps(StagedFile& staged) {
  while (staged.unconfirmedBytes > 0) {
    const std::uint64_t from = staged.size - staged.unconfirmedBytes;
    const std::uint64_t step = std::min(staged.unconfirmedBytes, kBatchBytes);
    if (sync_file_range(staged.file.Get(), static_cast<off_t>(from), static_cast<off_t>(step), kWaitForWholeFile) != 0)
      return WriteFailure(staged, errno);
    m_window.Confirmed(step, CWritebackWindow::Clock::now());
    staged.unconfirmedBytes -= step;
    bool waited = false;
    {
      const std::lock_guard lock(m_mutex);
      m_unconfirmedBytes -= step;
      waited = m_waiters > 0;
    }
    if (waited) m_published.notify_all();
  }
  return std::nullopt;
}

}  // namespace koral
