// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "convert/FfmpegAudioConverter.h"
#include "support/AudioFixtures.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

namespace fs = std::filesystem;
using test::AudioFacts;
using test::AudioTags;
using test::FixtureFormat;
using test::TempDir;

const AudioTags kTags = {{"title", "Les Feuilles mortes"},
                         {"artist", "Yves Montand"},
                         {"album", "Chansons d'automne"},
                         {"album_artist", "Divers interprètes"},
                         {"track", "3/12"},
                         {"disc", "1/2"},
                         {"date", "1949"},
                         {"genre", "Chanson"}};

class Mp3Conversion : public ::testing::Test {
 protected:
  fs::path Source(FixtureFormat format, const std::string& name, int channels = 2, int rate = 0) {
    const fs::path path = m_dir / name;
    test::MakeTone({format, 2, channels, rate, kTags}, path);
    return path;
  }

  // Converts, checks the bytes make a whole MP3 and reads its facts back.
  AudioFacts Converted(const fs::path& source, int kbps = kDefaultConvertRate) {
    const ConvertedAudio result = m_converter.Convert(source.string(), kbps, {});
    EXPECT_EQ(result.failure, "") << source;
    EXPECT_FALSE(result.stopped);
    const fs::path out = m_dir / (source.filename().string() + ".mp3");
    std::ofstream(out, std::ios::binary)
        .write(reinterpret_cast<const char*>(result.bytes.data()), static_cast<std::streamsize>(result.bytes.size()));
    return test::ReadAudioFacts(out);
  }

  TempDir m_dir;
  convert::FfmpegAudioConverter m_converter;
};

TEST_F(Mp3Conversion, EachFormatBecomesAnMp3ThePlayerReadsWithItsTagsAndLength) {
  for (const auto& [format, name] : {std::pair{FixtureFormat::Flac, "a.flac"},
                                     {FixtureFormat::Ogg, "a.ogg"},
                                     {FixtureFormat::Opus, "a.opus"},
                                     {FixtureFormat::M4a, "a.m4a"}}) {
    const fs::path source = Source(format, name);
    const AudioFacts facts = Converted(source);
    const AudioFacts original = test::ReadAudioFacts(source);
    ASSERT_TRUE(original.decodes) << name;
    EXPECT_TRUE(facts.decodes) << name;
    EXPECT_EQ(facts.container, "mp3") << name;
    EXPECT_EQ(facts.sampleRate, 44100) << name;
    EXPECT_EQ(facts.channels, 2) << name;
    EXPECT_NEAR(facts.seconds, original.seconds, 0.05) << name;
    EXPECT_EQ(facts.id3v2Version, 3) << name;
    EXPECT_TRUE(facts.id3v1) << name;
    EXPECT_EQ(facts.tags, kTags) << name;
  }
}

TEST_F(Mp3Conversion, MonoStaysMonoAndMoreChannelsBecomeStereo) {
  EXPECT_EQ(Converted(Source(FixtureFormat::Flac, "mono.flac", 1)).channels, 1);
  const AudioFacts surround = Converted(Source(FixtureFormat::Flac, "surround.flac", 6));
  EXPECT_TRUE(surround.decodes);
  EXPECT_EQ(surround.channels, 2);
}

TEST_F(Mp3Conversion, OtherRatesAreResampledWithoutLosingLength) {
  for (const int rate : {22050, 48000, 96000}) {
    const AudioFacts facts = Converted(Source(FixtureFormat::Flac, "r" + std::to_string(rate) + ".flac", 2, rate));
    EXPECT_EQ(facts.sampleRate, 44100) << rate;
    EXPECT_NEAR(facts.seconds, 2.0, 0.05) << rate;
  }
}

TEST_F(Mp3Conversion, TheRateAskedIsKeptConstant) {
  const fs::path source = Source(FixtureFormat::Ogg, "rate.ogg");
  for (const int kbps : kConvertRates) {
    const ConvertedAudio result = m_converter.Convert(source.string(), kbps, {});
    // 2 s at a constant rate, within a frame and the tags.
    EXPECT_NEAR(double(result.bytes.size()), 2.0 * kbps * 125, kbps * 125 * 0.1) << kbps;
  }
}

TEST_F(Mp3Conversion, OnlyThePlayersTagsAreWritten) {
  const fs::path source = m_dir / "extra.flac";
  AudioTags tags = {{"title", "Seul"}, {"comment", "pas pour le lecteur"}, {"composer", "Kosma"}};
  test::MakeTone({FixtureFormat::Flac, 1, 2, 0, tags}, source);
  EXPECT_EQ(Converted(source).tags, (AudioTags{{"title", "Seul"}}));
}

TEST_F(Mp3Conversion, ADamagedSourceIsReportedInFrenchWithNothingWritten) {
  test::MakeDamagedFlac(m_dir / "damaged.flac");
  const ConvertedAudio damaged = m_converter.Convert((m_dir / "damaged.flac").string(), 192, {});
  EXPECT_TRUE(damaged.bytes.empty());
  EXPECT_FALSE(damaged.stopped);
  EXPECT_FALSE(damaged.failure.empty());
  EXPECT_FALSE(damaged.failure.starts_with("fichier audio illisible")) << "the report adds it: " << damaged.failure;

  test::WriteFile(m_dir / "header-only.flac", std::string("fLaC") + std::string(64, '\x7f'));
  const ConvertedAudio headerOnly = m_converter.Convert((m_dir / "header-only.flac").string(), 192, {});
  EXPECT_TRUE(headerOnly.bytes.empty());
  EXPECT_FALSE(headerOnly.failure.empty());
}

TEST_F(Mp3Conversion, ACutOffSourceIsReportedAsTruncated) {
  const fs::path source = Source(FixtureFormat::Flac, "cut.flac");
  fs::resize_file(source, fs::file_size(source) / 2);
  const ConvertedAudio result = m_converter.Convert(source.string(), 192, {});
  EXPECT_TRUE(result.bytes.empty());
  EXPECT_EQ(result.failure, "fichier tronqué");
}

TEST_F(Mp3Conversion, AMissingSourceIsReportedInFrench) {
  const ConvertedAudio result = m_converter.Convert((m_dir / "absent.flac").string(), 192, {});
  EXPECT_TRUE(result.bytes.empty());
  EXPECT_EQ(result.failure, "fichier introuvable");
}

TEST_F(Mp3Conversion, AStopLeavesNothingAndSaysSo) {
  const fs::path source = Source(FixtureFormat::Flac, "stop.flac");
  std::stop_source stop;
  stop.request_stop();
  const ConvertedAudio result = m_converter.Convert(source.string(), 192, stop.get_token());
  EXPECT_TRUE(result.stopped);
  EXPECT_TRUE(result.bytes.empty());
  EXPECT_EQ(result.failure, "");
}

TEST_F(Mp3Conversion, SeveralThreadsConvertAtOnceAndGetTheSameBytes) {
  const fs::path source = Source(FixtureFormat::Opus, "shared.opus");
  const std::vector<std::uint8_t> alone = m_converter.Convert(source.string(), 128, {}).bytes;
  ASSERT_FALSE(alone.empty());
  std::vector<std::vector<std::uint8_t>> results(4);
  {
    std::vector<std::jthread> threads;
    for (auto& result : results) {
      threads.emplace_back([&] {
        if (m_converter.Probe(source.string()).kind == AudioKind::Convertible)
          result = m_converter.Convert(source.string(), 128, {}).bytes;
      });
    }
  }
  for (const auto& result : results) EXPECT_EQ(result, alone);
}

}  // namespace
}  // namespace koral
