// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/copy/AudioConversion.h"

namespace koral {

// A file to convert, in the order the copy writes them.
struct ConversionJob {
  std::string source;
  std::uint64_t estimatedBytes = 0;
};

struct ConversionLimits {
  unsigned threads = 1;
  std::uint64_t memoryBytes = 0;  // held in results being made or not yet written
};

// One encoder per core by default, and memory for each to hold the largest
// output, plus a writeback window's worth for them to get ahead of a slow device.
ConversionLimits DefaultConversionLimits(const std::vector<ConversionJob>& jobs);

// Converts a copy's files into memory on threads of their own, in order and
// ahead of the writer, which takes each result in that order. An encoder
// waits before a file while the results held (being made, or made and not
// yet released by the writer) would pass the memory bound; the file the
// writer waits for always starts. A stop, or the pool's end, reaches every
// Convert under way; the destructor joins the encoders.
class CConversionPool {
 public:
  CConversionPool(const AudioConverter& converter, int kbps, std::vector<ConversionJob> jobs, ConversionLimits limits,
                  std::stop_token stop);
  ~CConversionPool();
  CConversionPool(const CConversionPool&) = delete;
  CConversionPool& operator=(const CConversionPool&) = delete;

  // Waits for the result of job `index`; nullopt on a stop. The jobs before
  // it that were not taken are dropped. Its memory counts until the next
  // Take or the pool's end.
  std::optional<ConvertedAudio> Take(std::size_t index);

 private:
  enum class State { Waiting, Converting, Done, Taken };

  struct Slot {
    State state = State::Waiting;
    std::uint64_t heldBytes = 0;
    ConvertedAudio result;
  };

  struct ForwardStop {
    std::stop_source* target;
    void operator()() const { target->request_stop(); }
  };

  void Work();
  ConvertedAudio ConvertOne(const std::string& source) const;
  std::optional<std::size_t> NextJob(std::unique_lock<std::mutex>& lock);
  std::size_t NextToStart() const;
  bool MayStart(std::size_t index) const;
  void Finish(std::size_t index, ConvertedAudio result);
  void Drop(std::size_t index);

  const AudioConverter& m_converter;
  const int m_kbps;
  const std::vector<ConversionJob> m_jobs;
  const ConversionLimits m_limits;
  std::stop_source m_stopSource;  // the caller's stop, or the pool's end
  std::stop_callback<ForwardStop> m_forwardStop;
  std::mutex m_mutex;
  std::condition_variable_any m_changed;  // any: a stop ends its waits
  std::vector<Slot> m_slots;
  std::size_t m_nextToStart = 0;
  std::size_t m_wanted = 0;            // the job the writer waits for, or will next; those before are released
  std::uint64_t m_held = 0;            // bytes of the results being made or not yet released
  std::vector<std::thread> m_threads;  // last: they start once the rest is built
};

}  // namespace koral
