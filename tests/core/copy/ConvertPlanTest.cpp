// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/copy/CopyPlan.h"
#include "core/copy/CopyReport.h"
#include "core/copy/FakeAudioConverter.h"
#include "support/CopyJobs.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::ConvertibleAudio;
using koral::test::TempDir;
using koral::test::WriteFile;

namespace {

constexpr int kRate = 192;

class ConvertPlanTest : public ::testing::Test {
 protected:
  fs::path Computer() const { return m_dir / "computer"; }
  fs::path Player() const { return m_dir / "player"; }

  void SetUp() override { fs::create_directories(Player()); }

  koral::CopyPlan Plan(const std::vector<std::string>& names, koral::CopyOptions options = {},
                       std::optional<std::uint64_t> maxFileSize = std::nullopt) {
    koral::CopyJob job = koral::test::JobCopyingNames(Computer(), Player(), names, options);
    job.maxFileSize = maxFileSize;
    job.converter = &converter;
    return koral::BuildCopyPlan(job);
  }

  // The step that writes `destination`, relative to the player; null when none does.
  static const koral::CopyStep* StepTo(const koral::CopyPlan& plan, const fs::path& destination) {
    const auto found = std::find_if(plan.steps.begin(), plan.steps.end(),
                                    [&](const koral::CopyStep& step) { return step.destination == destination; });
    return found == plan.steps.end() ? nullptr : &*found;
  }

  static std::vector<std::string> FileNames(const koral::CopyPlan& plan) {
    std::vector<std::string> names;
    for (const koral::CopyStep& step : plan.steps)
      if (step.kind == koral::CopyStep::Kind::CopyFile) names.push_back(fs::path(step.destination).filename());
    return names;
  }

  TempDir m_dir;
  koral::test::FakeAudioConverter converter;
};

koral::CopyOptions Converting(bool followPlaylist = false, bool numbersOnly = false) {
  koral::CopyOptions options;
  options.convertRate = kRate;
  options.followPlaylist = followPlaylist;
  options.numbersOnly = numbersOnly;
  return options;
}

}  // namespace

TEST_F(ConvertPlanTest, OnlyAudioThePlayerCannotPlayIsConvertedNamedMp3AndCountedAtItsEstimate) {
  WriteFile(Computer() / "Album" / "a.flac", ConvertibleAudio(180, 10));
  WriteFile(Computer() / "Album" / "b.mp3", "mp3 frames");
  WriteFile(Computer() / "Album" / "notes.txt", "liner notes");
  WriteFile(Computer() / "Album" / "ogg-named.mp3", ConvertibleAudio(60, 10));  // by content, not by name
  WriteFile(Computer() / "Album" / "c", ConvertibleAudio(0, 10));               // duration unknown

  const koral::CopyPlan plan = Plan({"Album"}, Converting());

  const fs::path album = Player() / "Album";
  const koral::CopyStep* flac = StepTo(plan, album / "a.mp3");
  ASSERT_NE(flac, nullptr);
  EXPECT_TRUE(flac->convert);
  EXPECT_EQ(flac->bytes, koral::EstimatedMp3Bytes(180, kRate));
  const koral::CopyStep* mp3 = StepTo(plan, album / "b.mp3");
  ASSERT_NE(mp3, nullptr);
  EXPECT_FALSE(mp3->convert);
  EXPECT_EQ(mp3->bytes, std::string("mp3 frames").size());
  ASSERT_NE(StepTo(plan, album / "notes.txt"), nullptr);
  EXPECT_FALSE(StepTo(plan, album / "notes.txt")->convert);
  ASSERT_NE(StepTo(plan, album / "ogg-named.mp3"), nullptr);
  EXPECT_TRUE(StepTo(plan, album / "ogg-named.mp3")->convert);
  ASSERT_NE(StepTo(plan, album / "c.mp3"), nullptr);
  EXPECT_EQ(StepTo(plan, album / "c.mp3")->bytes, koral::EstimatedMp3Bytes(0, kRate));

  EXPECT_EQ(plan.fileTotal, 5);
  EXPECT_EQ(plan.totalBytes, koral::EstimatedMp3Bytes(180, kRate) + koral::EstimatedMp3Bytes(60, kRate) +
                                 koral::EstimatedMp3Bytes(0, kRate) + 10 + 11);
  EXPECT_EQ(plan.converter, &converter);
  EXPECT_EQ(plan.convertRate, kRate);
  for (const std::string name : {"a.flac", "b.mp3", "notes.txt", "ogg-named.mp3", "c"})
    EXPECT_EQ(converter.ProbesOf((Computer() / "Album" / name).string()), 1) << name;
}

TEST_F(ConvertPlanTest, WithoutARateOrAConverterNothingIsProbedAndNamesStay) {
  WriteFile(Computer() / "a.flac", ConvertibleAudio(180, 10));
  koral::CopyOptions unknownRate = Converting();
  unknownRate.convertRate = 160;

  for (const koral::CopyOptions& options : {koral::CopyOptions{}, unknownRate}) {
    const koral::CopyPlan plan = Plan({"a.flac"}, options);
    EXPECT_EQ(FileNames(plan), std::vector<std::string>{"a.flac"});
    EXPECT_FALSE(plan.steps.front().convert);
    EXPECT_EQ(plan.converter, nullptr);
  }
  EXPECT_EQ(converter.TotalProbes(), 0);
}

TEST_F(ConvertPlanTest, PlaylistEntriesAreConvertedUnderNumberedMp3NamesAndProbedOnceEach) {
  WriteFile(Computer() / "Album" / "a.flac", ConvertibleAudio(200, 10));
  WriteFile(Computer() / "Album" / "b.wma", "mp3 wma here");
  WriteFile(Computer() / "Album" / "list.m3u", "a.flac\nb.wma\na.flac\n");

  const koral::CopyPlan named = Plan({"Album"}, Converting(true));
  const koral::CopyPlan numbered = Plan({"Album"}, Converting(true, true));

  EXPECT_EQ(FileNames(named), (std::vector<std::string>{"01 - a.mp3", "02 - b.wma", "03 - a.mp3"}));
  EXPECT_EQ(FileNames(numbered), (std::vector<std::string>{"01.mp3", "02.mp3", "03.mp3"}));
  EXPECT_TRUE(numbered.steps[1].convert);
  EXPECT_FALSE(numbered.steps[2].convert);
  EXPECT_EQ(named.totalBytes, 2 * koral::EstimatedMp3Bytes(200, kRate) + 12);
  EXPECT_EQ(converter.ProbesOf((Computer() / "Album" / "a.flac").string()), 2);  // once per plan
}

TEST_F(ConvertPlanTest, AConvertedNameTakenByAnotherFileOfTheFolderIsRefusedToTheSecond) {
  WriteFile(Computer() / "Album" / "a.flac", ConvertibleAudio(100, 10));
  WriteFile(Computer() / "Album" / "A.mp3", "mp3 already");

  const koral::CopyPlan plan = Plan({"Album"}, Converting());

  ASSERT_EQ(FileNames(plan).size(), 1u);
  ASSERT_EQ(plan.refused.size(), 1u);
  EXPECT_EQ(plan.refused[0].fault, koral::CopyFault::NameTaken);
  EXPECT_EQ(plan.fileTotal, 1);
  // The one kept counts alone.
  const koral::CopyStep& kept = plan.steps.back();
  EXPECT_EQ(plan.totalBytes, kept.bytes);
  EXPECT_NE(kept.source, plan.refused[0].path);
}

TEST_F(ConvertPlanTest, ThePlayersFileSizeLimitAndTheRenameReportSeeTheConvertedFile) {
  WriteFile(Computer() / "big.flac", ConvertibleAudio(1, 10) + std::string(65536, ' '));  // larger than its MP3
  WriteFile(Computer() / "long.flac", ConvertibleAudio(600, 10));
  WriteFile(Computer() / "a:b?.flac", ConvertibleAudio(1, 10));
  const std::uint64_t limit = koral::EstimatedMp3Bytes(1, kRate);

  const koral::CopyPlan plan = Plan({"big.flac", "long.flac", "a:b?.flac"}, Converting(), limit);

  EXPECT_EQ(FileNames(plan), (std::vector<std::string>{"big.mp3", "a_b_.mp3"}));
  ASSERT_EQ(plan.refused.size(), 1u);
  EXPECT_EQ(plan.refused[0].path, (Computer() / "long.flac").string());
  EXPECT_EQ(plan.refused[0].fault, koral::CopyFault::TooBigForPlayer);
  ASSERT_EQ(plan.renames.size(), 1u);
  EXPECT_EQ(plan.renames[0].original, "a:b?.mp3");
  EXPECT_EQ(plan.renames[0].renamed, "a_b_.mp3");
  EXPECT_EQ(koral::WrittenRenames(plan, {(Player() / "a_b_.mp3").string()}).size(), 1u);
}

TEST_F(ConvertPlanTest, OnlyRegularFilesAreProbed) {
  WriteFile(Computer() / "Album" / "a.flac", ConvertibleAudio(100, 10));
  ASSERT_EQ(mkfifo((Computer() / "Album" / "pipe.flac").c_str(), 0600), 0);

  const koral::CopyPlan plan = Plan({"Album"}, Converting());

  EXPECT_EQ(converter.TotalProbes(), 1);
  EXPECT_NE(StepTo(plan, Player() / "Album" / "pipe.flac"), nullptr);  // refused when reached, as without conversion
}

TEST(Mp3Name, TheExtensionGivesWayToMp3) {
  EXPECT_EQ(koral::Mp3Name("a.flac"), "a.mp3");
  EXPECT_EQ(koral::Mp3Name("09 - live.at.home.ogg"), "09 - live.at.home.mp3");
  EXPECT_EQ(koral::Mp3Name("noextension"), "noextension.mp3");
}

TEST(CopyFailureText, AnUnreadableSourceGivesTheDecodersReason) {
  const koral::CopyFailure failure{"/music/a.flac", koral::CopyFault::AudioUnreadable, 0, "flux FLAC endommagé"};
  EXPECT_EQ(koral::DescribeCopyFailure(failure), "fichier audio illisible : flux FLAC endommagé");
  EXPECT_EQ(koral::DescribeCopyFailure({"/music/a.flac", koral::CopyFault::AudioUnreadable}),
            "fichier audio illisible");
}
