// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

// Milliseconds since the clock was made, on the monotonic clock: a change of
// the wall clock during a copy must not disturb the rate.
class CElapsedTimer {
 public:
  CElapsedTimer() : m_start(std::chrono::steady_clock::now()) {}

  double GetElapsedMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
  }

 private:
  std::chrono::steady_clock::time_point m_start;
};
