// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>

namespace koral {

// How many copied bytes may be on their way to the device, not yet
// confirmed: about kLead of writing at the speed the device has shown
// lately, so that a fast disk keeps its queue full while the progress of a
// slow player stays within that time of what it really holds. Told by the
// copying thread and the writeback thread alike.
// A device confirms in bursts: a batch of small files, written together,
// is confirmed file after file within a millisecond, and files held back
// behind others come all at once. A burst counts as one confirmation at its
// end, and the speed is never taken over less than kShortestSpan, so that
// neither passes for a fast device.
class CWritebackWindow {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr std::uint64_t kMinBytes = 8 * 1024 * 1024;
  static constexpr std::uint64_t kMaxBytes = 512 * 1024 * 1024;
  static constexpr Clock::duration kLead = std::chrono::milliseconds(500);
  static constexpr Clock::duration kBurst = std::chrono::milliseconds(25);
  static constexpr Clock::duration kShortestSpan = std::chrono::milliseconds(100);

  // Bytes just confirmed on the device, at `now`.
  void Confirmed(std::uint64_t bytes, Clock::time_point now);
  std::uint64_t Bytes() const;

 private:
  // A burst of confirmations, from its first to its last.
  struct Sample {
    Clock::time_point first;
    Clock::time_point last;
    std::uint64_t confirmedSoFar;  // at its end
  };

  void Record(std::uint64_t bytes, Clock::time_point now);

  mutable std::mutex m_mutex;
  std::deque<Sample> m_samples;  // the last couple of seconds
  std::uint64_t m_confirmed = 0;
  std::uint64_t m_bytes = kMinBytes;
};

}  // namespace koral
