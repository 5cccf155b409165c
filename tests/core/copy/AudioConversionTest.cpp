// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/AudioConversion.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// What `seconds` of MPEG-1 Layer III at `kbps` weigh, without tags or frames rounded.
double PlainAudioBytes(double seconds, int kbps) { return seconds * kbps * 1000.0 / 8.0; }

}  // namespace

TEST(ConvertRate, OnlyTheOfferedConstantRatesAreTaken) {
  for (const int rate : koral::kConvertRates) EXPECT_TRUE(koral::IsConvertRate(rate)) << rate;
  EXPECT_TRUE(koral::IsConvertRate(koral::kDefaultConvertRate));
  for (const int rate : {0, -128, 160, 193, 64, 384}) EXPECT_FALSE(koral::IsConvertRate(rate)) << rate;
}

TEST(EstimatedMp3Bytes, AnUnknownDurationCountsTheTagsAlone) {
  const std::uint64_t tags = koral::EstimatedMp3Bytes(0, 192);
  EXPECT_GE(tags, 128u + 1024u);  // ID3v1's block and about a kibibyte of ID3v2
  EXPECT_LT(tags, 4096u);
  EXPECT_EQ(koral::EstimatedMp3Bytes(-3, 192), tags);
  EXPECT_EQ(koral::EstimatedMp3Bytes(0, 320), tags);  // no audio at any rate
}

TEST(EstimatedMp3Bytes, AudioWeighsItsDurationTimesTheRateInWholeFramesPlusTheInfoFrame) {
  const std::uint64_t tags = koral::EstimatedMp3Bytes(0, 128);
  for (const int rate : koral::kConvertRates) {
    const double frame = 144.0 * rate * 1000.0 / 44100.0;
    for (const double seconds : {1.0, 61.5, 240.0, 3600.0}) {
      const double audio = static_cast<double>(koral::EstimatedMp3Bytes(seconds, rate) - tags);
      // Whole frames: never less than the audio, at most a frame more, and the Info frame.
      EXPECT_GE(audio, PlainAudioBytes(seconds, rate) + frame - 1) << rate << " kb/s, " << seconds << " s";
      EXPECT_LE(audio, PlainAudioBytes(seconds, rate) + 2 * frame + 1) << rate << " kb/s, " << seconds << " s";
    }
  }
}
