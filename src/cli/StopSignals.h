// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>

#include <atomic>
#include <stop_token>
#include <thread>

namespace koral::cli {

// SIGINT, SIGTERM and SIGHUP, while it lives, become a stop request: they
// are blocked, so every thread started meanwhile inherits the block, and a
// thread of its own reads them from a signalfd. Nothing runs in a signal
// handler. A signal the process was started with ignored stays ignored;
// a second signal ends the process at once, as it would have without it.
// Made before any other thread of the process.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();  // the signal mask it found comes back
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  std::stop_token Token() const { return m_stop.get_token(); }
  // The first signal received; 0 when none came.
  int Received() const { return m_received.load(); }

 private:
  void Watch();

  sigset_t m_signals{};
  sigset_t m_savedMask{};
  int m_signalFd = -1;
  int m_wake = -1;  // an eventfd: the watch ends
  std::stop_source m_stop;
  std::atomic<int> m_received{0};
  std::thread m_thread;
};

}  // namespace koral::cli
