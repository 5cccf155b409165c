// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/copy/CopyEngine.h"
#include "core/copy/CopyPlan.h"
#include "core/copy/CopyTally.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::ReadFile;
using koral::test::TempDir;
using koral::test::WriteFile;

namespace {

struct Rename {
  std::string original;
  std::string renamed;
  bool operator==(const Rename&) const = default;
};

std::vector<Rename> Renames(const koral::CopyPlan& plan) {
  std::vector<Rename> renames;
  for (const koral::CopyRename& rename : plan.renames) renames.push_back({rename.original, rename.renamed});
  return renames;
}

void PrintTo(const Rename& rename, std::ostream* out) { *out << rename.original << " -> " << rename.renamed; }

class CopyRenamesTest : public ::testing::Test {
 protected:
  fs::path Computer() const { return m_dir / "computer"; }
  fs::path Player() const { return m_dir / "player"; }

  void SetUp() override { fs::create_directories(Player()); }

  koral::CopyJob Job(const std::vector<std::string>& names, koral::CopyOptions options = {}) const {
    koral::CopyJob job;
    for (const std::string& name : names) {
      job.sources.push_back((Computer() / name).string());
      job.destinations.push_back((Player() / name).string());
    }
    job.options = options;
    return job;
  }

  TempDir m_dir;
};

}  // namespace

TEST_F(CopyRenamesTest, EveryNameChangedForThePlayerIsRecordedInPlanOrderAndNoOther) {
  WriteFile(Computer() / "a:b?.mp3", "ab");
  WriteFile(Computer() / "plain.mp3", "plain");
  WriteFile(Computer() / "Live. " / "Sub|Dir" / "x*y.mp3", "xy");
  WriteFile(Computer() / "Live. " / "Sub|Dir" / "fine.mp3", "fine");

  const koral::CopyPlan plan = koral::BuildCopyPlan(Job({"a:b?.mp3", "plain.mp3", "Live. "}));

  EXPECT_EQ(Renames(plan),
            (std::vector<Rename>{
                {"a:b?.mp3", "a_b_.mp3"}, {"Live. ", "Live"}, {"Sub|Dir", "Sub_Dir"}, {"x*y.mp3", "x_y.mp3"}}));
  EXPECT_EQ(plan.renames.front().source, (Computer() / "a:b?.mp3").string());
  EXPECT_EQ(plan.renames.back().source, (Computer() / "Live. " / "Sub|Dir" / "x*y.mp3").string());
  // Each record names what the step writes.
  bool written = false;
  for (const koral::CopyStep& step : plan.steps)
    written = written || step.destination == (Player() / "Live" / "Sub_Dir" / "x_y.mp3").string();
  EXPECT_TRUE(written);
}

TEST_F(CopyRenamesTest, APlaylistTrackIsRecordedUnderItsNumberedNameAndNumberOnlyNamesChangeNothing) {
  WriteFile(Computer() / "Album" / "a:b.mp3", "ab");
  WriteFile(Computer() / "Album" / "c.mp3", "c");
  WriteFile(Computer() / "Album" / "list.m3u", "c.mp3\na:b.mp3\n");
  koral::CopyOptions playlist;
  playlist.followPlaylist = true;

  EXPECT_EQ(Renames(koral::BuildCopyPlan(Job({"Album"}, playlist))),
            (std::vector<Rename>{{"02 - a:b.mp3", "02 - a_b.mp3"}}));

  playlist.numbersOnly = true;
  EXPECT_TRUE(koral::BuildCopyPlan(Job({"Album"}, playlist)).renames.empty());
}

TEST_F(CopyRenamesTest, AnEntryRefusedBeforeTheCopyIsNotListedAsRenamed) {
  WriteFile(Computer() / "Dir" / "a?.mp3", "first");
  WriteFile(Computer() / "Dir" / "a*.mp3", "second");
  WriteFile(Computer() / "big?.bin", std::string(100, 'b'));
  WriteFile(Computer() / "one?.mp3", "one");
  koral::CopyJob job = Job({"Dir", "big?.bin", "one?.mp3", "one?.mp3"});
  job.maxFileSize = 99;

  const koral::CopyPlan plan = koral::BuildCopyPlan(job);

  ASSERT_EQ(plan.refused.size(), 3u);  // one of a?/a*, the big file, the second one?.mp3
  const std::vector<Rename> renames = Renames(plan);
  ASSERT_EQ(renames.size(), 2u);
  // The listing's order decides which of a?/a* keeps the name.
  EXPECT_EQ(renames[0].renamed, "a_.mp3");
  EXPECT_NE(renames[0].original, fs::path(plan.refused[0].path).filename().string());
  // The same source given twice is copied once: that copy keeps its line.
  EXPECT_EQ(renames[1], (Rename{"one?.mp3", "one_.mp3"}));
}

TEST_F(CopyRenamesTest, TheTallyOfARealCopyIsTheBytesOnThePlayer) {
  WriteFile(Computer() / "Dir" / "a.mp3", std::string(400000, 'a'));
  WriteFile(Computer() / "Dir" / "b.mp3", "bb");
  const koral::CopyPlan plan = koral::BuildCopyPlan(Job({"Dir"}));

  class Tallying final : public koral::CopyObserver {
   public:
    void OnProgress(const koral::CopyProgress& progress) override { tally.OnProgress(progress); }
    koral::CCopyTally tally;
  } observer;
  const koral::CopyResult result = koral::CCopyEngine({}, observer).Run(plan);

  EXPECT_EQ(result.filesCopied, 2);
  EXPECT_EQ(observer.tally.BytesCopied(result.failures), 400002u);
  EXPECT_EQ(ReadFile(Player() / "Dir" / "b.mp3"), "bb");
}
