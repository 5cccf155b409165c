// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/ConversionPool.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "core/copy/WritebackWindow.h"

namespace koral {

ConversionLimits DefaultConversionLimits(const std::vector<ConversionJob>& jobs) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const auto threads = static_cast<unsigned>(std::clamp<std::size_t>(jobs.size(), 1, cores));
  std::uint64_t largest = 0;
  for (const ConversionJob& job : jobs) largest = std::max(largest, job.estimatedBytes);
  return {threads, threads * largest + CWritebackWindow::kMinBytes};
}

CConversionPool::CConversionPool(const AudioConverter& converter, int kbps, std::vector<ConversionJob> jobs,
                                 ConversionLimits limits, std::stop_token stop)
    : m_converter(converter),
      m_kbps(kbps),
      m_jobs(std::move(jobs)),
      m_limits(limits),
      m_forwardStop(std::move(stop), ForwardStop{&m_stopSource}),
      m_slots(m_jobs.size()) {
  const unsigned threads = std::max(1u, m_limits.threads);
  for (unsigned i = 0; i < threads && i < m_jobs.size(); ++i) m_threads.emplace_back([this] { Work(); });
}

CConversionPool::~CConversionPool() {
  m_stopSource.request_stop();
  for (std::thread& thread : m_threads) thread.join();
}

std::optional<ConvertedAudio> CConversionPool::Take(std::size_t index) {
  std::unique_lock lock(m_mutex);
  if (index >= m_slots.size() || index < m_wanted) return std::nullopt;
  for (std::size_t i = m_wanted; i < index; ++i) Drop(i);
  if (m_wanted > 0 && m_wanted - 1 < index) Drop(m_wanted - 1);  // the one written last
  m_wanted = index;
  m_changed.notify_all();
  Slot& slot = m_slots[index];
  const bool done = m_changed.wait(lock, m_stopSource.get_token(), [&slot] { return slot.state == State::Done; });
  if (!done || m_stopSource.stop_requested()) return std::nullopt;  // a result cut short by the stop is no result
  slot.state = State::Taken;
  m_wanted = index + 1;  // its memory is released by the next Take
  return std::move(slot.result);
}

void CConversionPool::Work() {
  std::unique_lock lock(m_mutex);
  while (const std::optional<std::size_t> index = NextJob(lock)) {
    lock.unlock();
    ConvertedAudio result = ConvertOne(m_jobs[*index].source);
    lock.lock();
    Finish(*index, std::move(result));
  }
}

// An exception on an encoder's thread would end the program: the file
// fails on its own instead.
ConvertedAudio CConversionPool::ConvertOne(const std::string& source) const {
  try {
    return m_converter.Convert(source, m_kbps, m_stopSource.get_token());
  } catch (const std::bad_alloc&) {
    return {{}, "mémoire insuffisante pour le convertir", false};
  } catch (const std::exception&) {
    return {{}, "erreur inattendue du décodeur", false};
  }
}

// The next job this encoder may start, in order, once memory allows;
// nullopt when none is left or on a stop.
std::optional<std::size_t> CConversionPool::NextJob(std::unique_lock<std::mutex>& lock) {
  const bool ready = m_changed.wait(lock, m_stopSource.get_token(), [this] {
    const std::size_t next = NextToStart();
    return next >= m_jobs.size() || MayStart(next);
  });
  const std::size_t index = NextToStart();
  // After a stop the wait still returns what its condition says.
  if (!ready || m_stopSource.stop_requested() || index >= m_jobs.size()) return std::nullopt;
  m_nextToStart = index + 1;
  Slot& slot = m_slots[index];
  slot.state = State::Converting;
  slot.heldBytes = m_jobs[index].estimatedBytes;
  m_held += slot.heldBytes;
  return index;
}

// Jobs the writer has passed are not started.
std::size_t CConversionPool::NextToStart() const { return std::max(m_nextToStart, m_wanted); }

// The job the writer waits for always starts, or the copy would wait forever.
bool CConversionPool::MayStart(std::size_t index) const {
  return index == m_wanted || m_held + m_jobs[index].estimatedBytes <= m_limits.memoryBytes;
}

void CConversionPool::Finish(std::size_t index, ConvertedAudio result) {
  Slot& slot = m_slots[index];
  m_held -= slot.heldBytes;
  slot.heldBytes = 0;
  if (index < m_wanted) {
    slot.state = State::Taken;  // passed by the writer meanwhile
  } else {
    slot.result = std::move(result);
    slot.heldBytes = slot.result.bytes.size();
    m_held += slot.heldBytes;
    slot.state = State::Done;
  }
  m_changed.notify_all();
}

// A result the writer is done with, or passed: its memory goes. One still
// being made is dropped when it is finished.
void CConversionPool::Drop(std::size_t index) {
  Slot& slot = m_slots[index];
  if (slot.state == State::Converting) return;
  m_held -= slot.heldBytes;
  slot.heldBytes = 0;
  slot.result = {};
  slot.state = State::Taken;
}

}  // namespace koral
