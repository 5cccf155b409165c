// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestEnvironment.h"
#include "core/copy/CopyEngine.h"
#include "core/copy/CopyPlan.h"
#include "core/copy/CopyReport.h"
#include "core/copy/CopyTally.h"

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

koral::CopyProgress Progress(int fileNumber, const std::string& name, std::uint64_t done, std::uint64_t size) {
  koral::CopyProgress progress;
  progress.fileNumber = fileNumber;
  progress.source = "/computer/" + name;
  progress.destination = "/player/" + name;
  progress.fileDone = done;
  progress.fileSize = size;
  return progress;
}

}  // namespace

TEST_F(CopyRenamesTest, EveryNameChangedForThePlayerIsRecordedInPlanOrderAndNoOther) {
  WriteFile(Computer() / "a:b?.mp3", "ab");
  WriteFile(Computer() / "plain.mp3", "plain");
  WriteFile(Computer() / "Live. " / "Sub|Dir" / "x*y.mp3", "xy");
  WriteFile(Computer() / "Live. " / "Sub|Dir" / "fine.mp3", "fine");

  const koral::CopyPlan plan = koral::BuildCopyPlan(Job({"a:b?.mp3", "plain.mp3", "Live. "}));

  EXPECT_EQ(Renames(plan), (std::vector<Rename>{
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

TEST(CopyRenameReportTest, OneLinePerRenameWithNamesShownAsTheListsShowThem) {
  EXPECT_EQ(koral::FormatRenameReport({}), "");
  const std::vector<koral::CopyRename> renames = {{"/c/a:b?.mp3", "a:b?.mp3", "a_b_.mp3"},
                                                  {"/c/\xE9t\xE9?", "\xE9t\xE9?", "\xE9t\xE9_"}};
  EXPECT_EQ(koral::FormatRenameReport(renames),
            "renommé : a:b?.mp3 → a_b_.mp3\nrenommé : été? → été_");  // Windows-1252 bytes, as the rows show them

  std::vector<koral::CopyRename> many(koral::kEntriesListedInABox + 2, renames[0]);
  const std::string boxed = koral::FormatRenameReport(many, koral::kEntriesListedInABox);
  EXPECT_EQ(std::count(boxed.begin(), boxed.end(), '\n'), static_cast<long>(koral::kEntriesListedInABox));
  EXPECT_TRUE(boxed.ends_with("\n... et 2 autres.")) << boxed;
  many.pop_back();
  EXPECT_TRUE(koral::FormatRenameReport(many, koral::kEntriesListedInABox).ends_with("\n... et 1 autre."));
  EXPECT_EQ(koral::FormatRenameReport(many).find("autre"), std::string::npos);
}

TEST(CopySummaryTest, CountsAreFrenchAndTheTimeIsToTheSecond) {
  using std::chrono::milliseconds;
  EXPECT_EQ(koral::FormatCopySummary(12, 36176691, milliseconds(3400), 1),
            "Copié : 12 fichiers, 34.5 Mo en 0:03 ; 1 échec");
  EXPECT_EQ(koral::FormatCopySummary(1, 500, milliseconds(0), 0), "Copié : 1 fichier, 500 o en 0:00 ; aucun échec");
  EXPECT_EQ(koral::FormatCopySummary(0, 0, milliseconds(62600), 3), "Copié : 0 fichier, 0 o en 1:03 ; 3 échecs");
  EXPECT_EQ(koral::FormatDuration(std::chrono::seconds(42)), "0:42");
  EXPECT_EQ(koral::FormatDuration(std::chrono::seconds(3723)), "1:02:03");
  EXPECT_EQ(koral::FormatDuration(std::chrono::seconds(-5)), "0:00");
  // A stopped copy: the participles agree with their counts.
  EXPECT_EQ(koral::FormatCancelledCopy(2, 3), "Copie annulée : 2 fichiers copiés, 3 non copiés.");
  EXPECT_EQ(koral::FormatCancelledCopy(1, 1), "Copie annulée : 1 fichier copié, 1 non copié.");
  EXPECT_EQ(koral::FormatCancelledCopy(0, 0), "Copie annulée : 0 fichier copié, 0 non copié.");
  EXPECT_EQ(koral::FormatInterruption(4), "copie interrompue, 4 non copiés");
}

TEST(CopyTallyTest, CountsTheFilesTransferredWholeAndNotNamedByAFailure) {
  koral::CCopyTally tally;
  tally.OnProgress(Progress(1, "whole.mp3", 0, 1000));
  tally.OnProgress(Progress(1, "whole.mp3", 1000, 1000));
  tally.OnProgress(Progress(2, "cut.mp3", 300, 5000));
  tally.OnProgress(Progress(3, "empty.mp3", 0, 0));
  tally.OnProgress(Progress(4, "unsynced.mp3", 70, 70));
  tally.OnProgress(Progress(5, "grew.mp3", 9, 9));

  const std::vector<koral::CopyFailure> failures = {
      {"/player/cut.mp3", koral::CopyFault::PlayerFull, 28},
      {"/player/unsynced.mp3", koral::CopyFault::NotSynced, 5},
      {"/computer/grew.mp3", koral::CopyFault::SourceChanged, 0}};
  EXPECT_EQ(tally.BytesCopied(failures), 1000u);
  EXPECT_EQ(tally.BytesCopied({}), 1079u);
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
