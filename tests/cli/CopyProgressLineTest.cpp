// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CopyProgressLine.h"

using namespace std::chrono_literals;
using koral::cli::CopyProgressLine;

namespace {

constexpr std::uint64_t kMebibyte = 1048576;

koral::CopyProgress Progress(int fileNumber, std::uint64_t totalDone, std::uint64_t fileDone = 0) {
  koral::CopyProgress progress;
  progress.fileNumber = fileNumber;
  progress.fileTotal = 2;
  progress.fileDone = fileDone;
  progress.fileSize = 3 * kMebibyte;
  progress.totalDone = totalDone;
  progress.totalSize = 4 * kMebibyte;
  return progress;
}

// A clock the test moves by hand.
class FakeClock {
 public:
  koral::cli::CopyClock Clock() {
    return [this] { return m_now; };
  }
  void Advance(std::chrono::milliseconds step) { m_now += step; }

 private:
  std::chrono::steady_clock::time_point m_now{std::chrono::hours(1)};
};

// What each "\r" of the output rewrote.
std::vector<std::string> Rewrites(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  std::string line;
  std::getline(in, line, '\r');  // before the first: nothing
  while (std::getline(in, line, '\r')) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(CopyProgressLineTest, RateAndTimeLeftShowOnceTheCopyHasRunASecond) {
  FakeClock clock;
  std::ostringstream out;
  const CopyProgressLine line(out, clock.Clock());

  EXPECT_EQ(line.Text(Progress(1, 0), clock.Clock()()), "Fichier : 1 / 2   Total : 0.0 / 4.0 Mo");
  clock.Advance(500ms);
  EXPECT_EQ(line.Text(Progress(1, kMebibyte / 2), clock.Clock()()), "Fichier : 1 / 2   Total : 0.5 / 4.0 Mo");
  clock.Advance(1500ms);
  EXPECT_EQ(line.Text(Progress(2, 2 * kMebibyte), clock.Clock()()),
            "Fichier : 2 / 2   Total : 2.0 / 4.0 Mo   1.0 Mo/s   reste 0:02");
  // Slower than a mebibyte a second: in ko/s; the time left rounds up.
  EXPECT_EQ(line.Text(Progress(2, kMebibyte + 1), clock.Clock()()),
            "Fichier : 2 / 2   Total : 1.0 / 4.0 Mo   512.0 ko/s   reste 0:06");
  clock.Advance(7198s);
  EXPECT_EQ(line.Text(Progress(2, 4 * kMebibyte - 1024), clock.Clock()()),
            "Fichier : 2 / 2   Total : 4.0 / 4.0 Mo   0.6 ko/s   reste 0:02");
  EXPECT_EQ(line.Text(Progress(2, 1000000), clock.Clock()()),
            "Fichier : 2 / 2   Total : 1.0 / 4.0 Mo   0.1 ko/s   reste 6:23:19");
  EXPECT_EQ(line.Text(Progress(2, 4 * kMebibyte), clock.Clock()()),
            "Fichier : 2 / 2   Total : 4.0 / 4.0 Mo   0.6 ko/s   reste 0:00");
}

TEST(CopyProgressLineTest, RewritesInPlaceTenTimesASecondAtMostAndLeavesNoDebris) {
  FakeClock clock;
  std::ostringstream out;
  {
    CopyProgressLine line(out, clock.Clock());
    line.Show(Progress(1, 0));
    clock.Advance(50ms);
    line.Show(Progress(1, 1000));  // too soon: not shown
    clock.Advance(1950ms);
    line.Show(Progress(1, 600));  // a long time left: a long line
    clock.Advance(100ms);
    line.Show(Progress(1, 3 * kMebibyte));
    clock.Advance(10ms);
    line.Show(Progress(2, 4 * kMebibyte, 3 * kMebibyte));  // the last is always shown
    EXPECT_EQ(out.str().find('\n'), std::string::npos);
  }

  const std::vector<std::string> rewrites = Rewrites(out.str());
  ASSERT_EQ(rewrites.size(), 4u) << out.str();
  EXPECT_EQ(rewrites[0], "Fichier : 1 / 2   Total : 0.0 / 4.0 Mo");
  EXPECT_EQ(rewrites[1], "Fichier : 1 / 2   Total : 0.0 / 4.0 Mo   0.3 ko/s   reste 3:53:00");
  const std::string shorter = "Fichier : 1 / 2   Total : 3.0 / 4.0 Mo   1.4 Mo/s   reste 0:01";
  EXPECT_EQ(rewrites[2], shorter + std::string(rewrites[1].size() - shorter.size(), ' '));
  EXPECT_EQ(rewrites[3], "Fichier : 2 / 2   Total : 4.0 / 4.0 Mo   1.9 Mo/s   reste 0:00\n");
}
