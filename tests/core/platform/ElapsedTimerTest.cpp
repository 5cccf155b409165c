// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/ElapsedTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

TEST(ElapsedTimerTest, CountsMillisecondsFromConstruction) {
  const CElapsedTimer timer;
  const double start = timer.GetElapsedMs();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_GE(start, 0.0);
  EXPECT_GE(timer.GetElapsedMs() - start, 25.0);
}
