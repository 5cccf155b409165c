// SPDX-License-Identifier: GPL-3.0-or-later
// The writeback window sized from the speed the device shows, on a fake clock.
#include <gtest/gtest.h>

#include <chrono>

#include "core/copy/WritebackWindow.h"

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
  EXPECT_GT(window.Bytes(), 100 * MiB);
  at = Write(window, at, 20, 2.5);  // the last two seconds are all at the new speed
  EXPECT_LE(SecondsOfLead(window, 20), 1.0);
}
