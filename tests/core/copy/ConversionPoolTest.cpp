// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/ConversionPool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "core/copy/FakeAudioConverter.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::ConvertibleAudio;
using koral::test::FakeMp3;
using koral::test::TempDir;
using koral::test::WriteFile;

namespace {

constexpr std::size_t kOutputBytes = 1000;

class ConversionPoolTest : public ::testing::Test {
 protected:
  // `count` sources of kOutputBytes each, estimated at that size.
  std::vector<koral::ConversionJob> Jobs(int count) {
    std::vector<koral::ConversionJob> jobs;
    for (int i = 0; i < count; ++i) {
      const fs::path source = m_dir / ("t" + std::to_string(i) + ".flac");
      WriteFile(source, ConvertibleAudio(10, kOutputBytes));
      jobs.push_back({source.string(), kOutputBytes});
    }
    return jobs;
  }

  static std::string Bytes(const std::optional<koral::ConvertedAudio>& audio) {
    return audio ? std::string(audio->bytes.begin(), audio->bytes.end()) : std::string("(none)");
  }

  TempDir m_dir;
  koral::test::FakeAudioConverter converter;
};

}  // namespace

TEST_F(ConversionPoolTest, ResultsAreTakenInOrderWhateverOrderTheEncodersFinishIn) {
  const std::vector<koral::ConversionJob> jobs = Jobs(3);
  for (const koral::ConversionJob& job : jobs) converter.Hold(job.source);
  koral::CConversionPool pool(converter, 256, jobs, {3, 100 * kOutputBytes}, {});

  // The last file finishes first, the first last.
  converter.WaitUntilRunning(3);
  for (auto job = jobs.rbegin(); job != jobs.rend(); ++job) {
    converter.Release(job->source);
    converter.WaitUntilFinished(job->source);
  }

  for (std::size_t i = 0; i < jobs.size(); ++i) EXPECT_EQ(Bytes(pool.Take(i)), FakeMp3(jobs[i].source, kOutputBytes));
  EXPECT_EQ(converter.FinishedInOrder(), (std::vector<std::string>{jobs[2].source, jobs[1].source, jobs[0].source}));
  EXPECT_EQ(converter.Rates(), (std::vector<int>{256, 256, 256}));
}

TEST_F(ConversionPoolTest, EncodersWaitWhileTheResultsHeldReachTheMemoryBound) {
  const std::vector<koral::ConversionJob> jobs = Jobs(8);
  for (const koral::ConversionJob& job : jobs) converter.Hold(job.source);
  // Four encoders, memory for two results.
  koral::CConversionPool pool(converter, 192, jobs, {4, 2 * kOutputBytes}, {});

  converter.WaitUntilRunning(2);
  for (const koral::ConversionJob& job : jobs) converter.Release(job.source);
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    converter.CountReleasedResults(static_cast<int>(i));  // Take(i) releases those before
    EXPECT_EQ(Bytes(pool.Take(i)), FakeMp3(jobs[i].source, kOutputBytes));
  }
  EXPECT_LE(converter.MostHeld(), 2);
  EXPECT_LE(converter.MostRunning(), 2);
}

TEST_F(ConversionPoolTest, TheFileTheWriterNeedsStartsEvenWhenItAloneExceedsTheBound) {
  const std::vector<koral::ConversionJob> jobs = Jobs(3);
  koral::CConversionPool pool(converter, 192, jobs, {2, kOutputBytes / 2}, {});

  for (std::size_t i = 0; i < jobs.size(); ++i) EXPECT_EQ(Bytes(pool.Take(i)), FakeMp3(jobs[i].source, kOutputBytes));
}

TEST_F(ConversionPoolTest, FilesPassedByTheWriterAreDroppedAndAFailureIsHandedOver) {
  std::vector<koral::ConversionJob> jobs = Jobs(4);
  WriteFile(jobs[3].source, koral::test::DamagedAudio(10));
  koral::CConversionPool pool(converter, 192, jobs, {1, kOutputBytes}, {});

  // Skipping the first two must not leave the single encoder waiting for memory.
  EXPECT_EQ(Bytes(pool.Take(2)), FakeMp3(jobs[2].source, kOutputBytes));
  const std::optional<koral::ConvertedAudio> damaged = pool.Take(3);
  ASSERT_TRUE(damaged);
  EXPECT_TRUE(damaged->bytes.empty());
  EXPECT_EQ(damaged->failure, koral::test::kFakeDecoderFailure);
}

TEST_F(ConversionPoolTest, ADecoderThatThrowsFailsItsFileNotTheProgram) {
  std::vector<koral::ConversionJob> jobs = Jobs(2);
  WriteFile(jobs[0].source, "throws 10");
  koral::CConversionPool pool(converter, 192, jobs, {2, 10 * kOutputBytes}, {});

  const std::optional<koral::ConvertedAudio> thrown = pool.Take(0);
  ASSERT_TRUE(thrown);
  EXPECT_TRUE(thrown->bytes.empty());
  EXPECT_FALSE(thrown->failure.empty());
  EXPECT_EQ(Bytes(pool.Take(1)), FakeMp3(jobs[1].source, kOutputBytes));
}

TEST_F(ConversionPoolTest, AStopReachesTheEncodersAndTheWriterWaitingForThem) {
  const std::vector<koral::ConversionJob> jobs = Jobs(4);
  for (const koral::ConversionJob& job : jobs) converter.Hold(job.source);
  std::stop_source stop;
  std::optional<koral::CConversionPool> pool;
  pool.emplace(converter, 192, jobs, koral::ConversionLimits{2, 100 * kOutputBytes}, stop.get_token());
  converter.WaitUntilRunning(2);

  std::jthread writer([&] { EXPECT_FALSE(pool->Take(0)); });
  stop.request_stop();
  writer.join();
  pool.reset();  // joins the encoders

  EXPECT_EQ(converter.Stopped(), 2);
  EXPECT_EQ(converter.FinishedInOrder().size(), 2u);  // no file started after the stop
}

TEST_F(ConversionPoolTest, ThePoolsEndStopsItsEncoders) {
  const std::vector<koral::ConversionJob> jobs = Jobs(2);
  for (const koral::ConversionJob& job : jobs) converter.Hold(job.source);
  {
    koral::CConversionPool pool(converter, 192, jobs, {2, 100 * kOutputBytes}, {});
    converter.WaitUntilRunning(2);
  }
  EXPECT_EQ(converter.Stopped(), 2);
}

TEST(DefaultConversionLimits, OneEncoderPerCoreAtMostOnePerFileWithRoomForEachLargestResult) {
  const std::vector<koral::ConversionJob> one = {{"a", 5000}};
  EXPECT_EQ(koral::DefaultConversionLimits(one).threads, 1u);
  std::vector<koral::ConversionJob> many(64, {"x", 100});
  many[7].estimatedBytes = 9000;
  const koral::ConversionLimits limits = koral::DefaultConversionLimits(many);
  EXPECT_GE(limits.threads, 1u);
  EXPECT_LE(limits.threads, std::max(1u, std::thread::hardware_concurrency()));
  EXPECT_GE(limits.memoryBytes, limits.threads * 9000u);
}
