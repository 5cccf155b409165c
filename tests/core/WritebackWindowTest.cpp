// SPDX-License-Identifier: GPL-3.0-or-later
// The writeback window sized from the speed the device shows, on a fake clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "files/WritebackWindow.h"

namespace {

using koral::CWritebackWindow;
using namespace std::chrono_literals;
constexpr std::uint64_t MiB = 1024 * 1024;

// Confirms `seconds` of writing at `mibPerSecond`, in steps of 50 ms.
CWritebackWindow::Clock::time_point Write(CWritebackWindow& window, CWritebackWindow::Clock::time_point from,
                                          double mibPerSecond, double seconds) {
  auto now = from;
  for (int step = 0; step < static_cast<int>(seconds * 20); ++step) {
    now += 50ms;
    window.Confirmed(static_cast<std::uint64_t>(mibPerSecond * MiB / 20), now);
  }
  return now;
}

double SecondsOfLead(const CWritebackWindow& window, double mibPerSecond) {
  return static_cast<double>(window.Bytes()) / (mibPerSecond * MiB);
}

}  // namespace

TEST(WritebackWindowTest, StartsAtEightMebibytesAndKeepsThemOnASlowDevice) {
  CWritebackWindow window;
  EXPECT_EQ(window.Bytes(), CWritebackWindow::kMinBytes);
  const auto start = CWritebackWindow::Clock::time_point{} + 1h;
  window.Confirmed(100 * MiB, start);  // one burst tells nothing of the speed
  EXPECT_EQ(window.Bytes(), CWritebackWindow::kMinBytes);
  Write(window, start, 2, 3);
  EXPECT_EQ(window.Bytes(), CWritebackWindow::kMinBytes);
}

TEST(WritebackWindowTest, ProgressLeadsThePlayerByLessThanASecondAtTwentyMebibytesASecond) {
  CWritebackWindow window;
  Write(window, CWritebackWindow::Clock::time_point{} + 1h, 20, 3);
  EXPECT_GT(window.Bytes(), CWritebackWindow::kMinBytes);
  EXPECT_GE(SecondsOfLead(window, 20), 0.5);
  EXPECT_LE(SecondsOfLead(window, 20), 1.0);
}

TEST(WritebackWindowTest, AFastDiskKeepsItsQueueFullUpToTheCap) {
  CWritebackWindow window;
  const auto at = Write(window, CWritebackWindow::Clock::time_point{} + 1h, 400, 2);
  EXPECT_GE(SecondsOfLead(window, 400), 0.5);
  EXPECT_LE(SecondsOfLead(window, 400), 1.0);
  Write(window, at, 4000, 2);
  EXPECT_EQ(window.Bytes(), CWritebackWindow::kMaxBytes);
}

TEST(WritebackWindowTest, FollowsAStickThatSlowsDownOnceItsCacheIsFull) {
  CWritebackWindow window;
  auto at = Write(window, CWritebackWindow::Clock::time_point{} + 1h, 200, 5);
  EXPECT_GE(window.Bytes(), 80 * MiB);
  at = Write(window, at, 20, 2.5);  // the last two seconds are all at the new speed
  EXPECT_LE(SecondsOfLead(window, 20), 1.0);
}

// A device at 20 MiB/s that writes small files a batch at a time: every
// 200 ms, 4 MiB of 20 KiB files confirmed one after the other within a
// millisecond. Checks the window after every confirmation.
TEST(WritebackWindowTest, SmallFilesConfirmedABatchAtATimeNeverPassForAFasterDevice) {
  CWritebackWindow window;
  auto now = CWritebackWindow::Clock::time_point{} + 1h;
  double worstLead = 0;
  for (int batch = 0; batch < 20; ++batch) {
    now += 200ms;
    for (int file = 0; file < 205; ++file) {
      window.Confirmed(20 * 1024, now + file * 4us);
      worstLead = std::max(worstLead, SecondsOfLead(window, 20));
    }
  }
  EXPECT_LE(worstLead, 0.6);
  EXPECT_GE(SecondsOfLead(window, 20), 0.4);  // the device's speed once measured
}

// A start in bursts (the first batches confirmed a few milliseconds apart)
// tells too little of the speed to open the window.
TEST(WritebackWindowTest, TwoEarlyBurstsKeepTheWindowShut) {
  CWritebackWindow window;
  const auto start = CWritebackWindow::Clock::time_point{} + 1h;
  window.Confirmed(MiB, start);
  window.Confirmed(MiB, start + 30ms);  // 33 MiB/s over 30 ms
  EXPECT_EQ(window.Bytes(), CWritebackWindow::kMinBytes);
}
