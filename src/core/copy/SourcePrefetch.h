// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "core/copy/CopyPlan.h"

namespace koral {

// Asks the disk, on a thread of its own, for the next few files of a plan
// while the copy is at the current one: copied one after another, small
// files from a cold disk would each wait for a read of their own. Only
// small regular files are opened, and only to start their reading.
class CSourcePrefetch {
 public:
  explicit CSourcePrefetch(const CopyPlan& plan);
  ~CSourcePrefetch();
  CSourcePrefetch(const CSourcePrefetch&) = delete;
  CSourcePrefetch& operator=(const CSourcePrefetch&) = delete;

  // The copy has reached this step of the plan.
  void Reached(std::size_t step);

 private:
  void Work();

  const CopyPlan& m_plan;
  std::atomic<std::size_t> m_reached{0};
  std::atomic<bool> m_stopping{false};
  std::atomic<bool> m_waiting{false};    // the thread is ahead and waits...
  std::atomic<std::size_t> m_wakeAt{0};  // ...until the copy reaches this step
  std::thread m_thread;                  // last: it starts once the rest is built
};

}  // namespace koral
