// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/copy/CopyEngine.h"
#include "core/copy/CopyReport.h"
#include "core/copy/FakeAudioConverter.h"
#include "support/CopyJobs.h"
#include "support/CopyTemporaries.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::ConvertibleAudio;
using koral::test::EntryNames;
using koral::test::FakeMp3;
using koral::test::ReadFile;
using koral::test::TempDir;
using koral::test::WriteFile;

namespace {

class RecordingObserver final : public koral::CopyObserver {
 public:
  void OnProgress(const koral::CopyProgress& progress) override { calls.push_back(progress); }
  std::vector<koral::CopyProgress> calls;
};

class ConvertCopyTest : public ::testing::Test {
 protected:
  fs::path Computer() const { return m_dir / "computer"; }
  fs::path Player() const { return m_dir / "player"; }
  std::string Source(const std::string& name) const { return (Computer() / name).string(); }

  void SetUp() override { fs::create_directories(Player()); }

  koral::CopyResult Copy(const std::vector<std::string>& names, std::stop_token stop = {},
                         bool followPlaylist = false) {
    koral::CopyJob job = koral::test::JobCopyingNames(Computer(), Player(), names);
    job.options.convertRate = 128;
    job.options.followPlaylist = followPlaylist;
    job.converter = &converter;
    plan = koral::BuildCopyPlan(job);
    koral::CCopyEngine engine(job.options, observer, std::move(stop));
    if (limits) engine.SetConversionLimits(*limits);
    return engine.Run(plan);
  }

  // The destinations in the order the copy started them.
  std::vector<std::string> StartedInOrder() const {
    std::vector<std::string> started;
    for (const koral::CopyProgress& progress : observer.calls)
      if (started.empty() || started.back() != fs::path(progress.destination).filename())
        started.push_back(fs::path(progress.destination).filename());
    return started;
  }

  TempDir m_dir;
  koral::test::FakeAudioConverter converter;
  RecordingObserver observer;
  std::optional<koral::ConversionLimits> limits;
  koral::CopyPlan plan;
};

}  // namespace

TEST_F(ConvertCopyTest, ConvertedFilesAreWrittenInPlaylistOrderWhenLaterOnesFinishFirst) {
  WriteFile(Computer() / "Album" / "a.flac", ConvertibleAudio(30, 70000));
  WriteFile(Computer() / "Album" / "b.mp3", "mp3 as it is");
  WriteFile(Computer() / "Album" / "c.ogg", ConvertibleAudio(20, 50000));
  WriteFile(Computer() / "Album" / "d.opus", ConvertibleAudio(10, 400000));
  WriteFile(Computer() / "Album" / "list.m3u", "a.flac\nb.mp3\nc.ogg\nd.opus\n");
  const std::vector<std::string> converted = {Source("Album/a.flac"), Source("Album/c.ogg"), Source("Album/d.opus")};
  for (const std::string& source : converted) converter.Hold(source);
  limits = koral::ConversionLimits{3, 1 << 20};

  // The encoders finish from the last file to the first.
  std::jthread encoders([&] {
    converter.WaitUntilRunning(3);
    for (auto source = converted.rbegin(); source != converted.rend(); ++source) {
      converter.Release(*source);
      converter.WaitUntilFinished(*source);
    }
  });
  const koral::CopyResult result = Copy({"Album"}, {}, true);
  encoders.join();

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(result.filesCopied, 4);
  EXPECT_EQ(converter.FinishedInOrder(), (std::vector<std::string>{converted[2], converted[1], converted[0]}));
  const std::vector<std::string> names = {"01 - a.mp3", "02 - b.mp3", "03 - c.mp3", "04 - d.mp3"};
  EXPECT_EQ(StartedInOrder(), names);
  EXPECT_EQ(EntryNames(Player() / "Album"), names);
  EXPECT_EQ(ReadFile(Player() / "Album" / names[0]), FakeMp3(converted[0], 70000));
  EXPECT_EQ(ReadFile(Player() / "Album" / names[1]), "mp3 as it is");
  EXPECT_EQ(ReadFile(Player() / "Album" / names[3]), FakeMp3(converted[2], 400000));
  EXPECT_EQ(converter.Rates(), (std::vector<int>{128, 128, 128}));
  EXPECT_TRUE(koral::test::EntryNames(Player()).size() == 1u);  // no run folder left
}

TEST_F(ConvertCopyTest, ProgressCountsTheBytesWrittenReplacingEachEstimateByTheRealSize) {
  WriteFile(Computer() / "a.flac", ConvertibleAudio(60, 123457));  // smaller than estimated
  WriteFile(Computer() / "b.txt", "notes");
  WriteFile(Computer() / "c.flac", ConvertibleAudio(1, 900001));  // larger than estimated
  ASSERT_LT(123457u, koral::EstimatedMp3Bytes(60, 128));
  ASSERT_GT(900001u, koral::EstimatedMp3Bytes(1, 128));

  const koral::CopyResult result = Copy({"a.flac", "b.txt", "c.flac"});

  EXPECT_TRUE(result.failures.empty());
  ASSERT_FALSE(observer.calls.empty());
  EXPECT_EQ(observer.calls.front().totalSize - observer.calls.front().fileSize,
            plan.totalBytes - koral::EstimatedMp3Bytes(60, 128));  // the first estimate replaced
  for (const koral::CopyProgress& progress : observer.calls) {
    EXPECT_LE(progress.fileDone, progress.fileSize);
    EXPECT_LE(progress.totalDone, progress.totalSize);
  }
  const std::uint64_t written = 123457 + 5 + 900001;
  EXPECT_EQ(observer.calls.back().totalSize, written);
  EXPECT_EQ(observer.calls.back().totalDone, written);
  EXPECT_EQ(observer.calls.back().fileSize, 900001u);
  EXPECT_EQ(fs::file_size(Player() / "c.mp3"), 900001u);
}

TEST_F(ConvertCopyTest, AnUndecodableSourceIsReportedWithTheDecodersReasonAndTheCopyGoesOn) {
  WriteFile(Computer() / "a.flac", ConvertibleAudio(5, 4000));
  WriteFile(Computer() / "broken.flac", koral::test::DamagedAudio(5));
  WriteFile(Computer() / "c.flac", ConvertibleAudio(5, 6000));

  const koral::CopyResult result = Copy({"a.flac", "broken.flac", "c.flac"});

  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].path, Source("broken.flac"));
  EXPECT_EQ(result.failures[0].fault, koral::CopyFault::AudioUnreadable);
  EXPECT_EQ(result.failures[0].detail, koral::test::kFakeDecoderFailure);
  const std::string report = koral::FormatCopyReport(result.failures, result.stoppedOnFullPlayer);
  EXPECT_NE(report.find("broken.flac : fichier audio illisible : flux FLAC endommagé"), std::string::npos) << report;
  EXPECT_EQ(result.filesCopied, 2);
  EXPECT_EQ(EntryNames(Player()), (std::vector<std::string>{"a.mp3", "c.mp3"}));
  EXPECT_EQ(observer.calls.back().totalSize, 4000u + 6000u);  // nothing counted for the file left out
}

TEST_F(ConvertCopyTest, AStopWhileTheEncodersAreBlockedEndsTheCopyWithNothingLeftBehind) {
  WriteFile(Computer() / "a.mp3", "mp3 first");
  for (const std::string name : {"b.flac", "c.flac", "d.flac"}) {
    WriteFile(Computer() / name, ConvertibleAudio(5, 3000));
    converter.Hold(Source(name));
  }
  limits = koral::ConversionLimits{2, 1 << 20};
  std::stop_source stop;
  std::jthread canceller([&] {
    converter.WaitUntilRunning(2);
    stop.request_stop();
  });

  const koral::CopyResult result = Copy({"a.mp3", "b.flac", "c.flac", "d.flac"}, stop.get_token());
  canceller.join();

  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(converter.Stopped(), 2);  // the encoders heard it, and returned
  EXPECT_EQ(converter.FinishedInOrder().size(), 2u);
  const std::vector<std::string> left = EntryNames(Player());
  for (const std::string& name : left) EXPECT_TRUE(name == "a.mp3") << name;  // no temporary, no partial MP3
}
