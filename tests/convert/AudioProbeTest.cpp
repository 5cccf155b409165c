// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "convert/FfmpegAudioConverter.h"
#include "support/AudioFixtures.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::FixtureFormat;
using test::MakeTone;
using test::TempDir;
using test::WriteFile;

class AudioProbe : public ::testing::Test {
 protected:
  std::filesystem::path Tone(FixtureFormat format, const std::string& name) {
    const std::filesystem::path path = m_dir / name;
    MakeTone({format, 2, 2, 0, {}}, path);
    return path;
  }
  koral::AudioProbe Probe(const std::filesystem::path& path) const { return m_converter.Probe(path.string()); }

  TempDir m_dir;
  convert::FfmpegAudioConverter m_converter;
};

TEST_F(AudioProbe, WhatThePlayerPlaysIsCopiedAsItIs) {
  EXPECT_EQ(Probe(Tone(FixtureFormat::Mp3, "a.mp3")).kind, AudioKind::PlayerPlays);
  EXPECT_EQ(Probe(Tone(FixtureFormat::Wav, "a.wav")).kind, AudioKind::PlayerPlays);
  // By content: an MP3 under another name is still one.
  EXPECT_EQ(Probe(Tone(FixtureFormat::Mp3, "a.flac")).kind, AudioKind::PlayerPlays);
}

TEST_F(AudioProbe, OtherAudioIsConvertibleWithItsLength) {
  for (const auto& [format, name] : {std::pair{FixtureFormat::Flac, "a.flac"},
                                     {FixtureFormat::Ogg, "a.ogg"},
                                     {FixtureFormat::Opus, "a.opus"},
                                     {FixtureFormat::M4a, "a.m4a"}}) {
    const koral::AudioProbe probe = Probe(Tone(format, name));
    EXPECT_EQ(probe.kind, AudioKind::Convertible) << name;
    EXPECT_NEAR(probe.seconds, 2.0, 0.05) << name;
  }
}

TEST_F(AudioProbe, TheContentDecidesNotTheExtension) {
  EXPECT_EQ(Probe(Tone(FixtureFormat::Flac, "disguised.mp3")).kind, AudioKind::Convertible);
  WriteFile(m_dir / "notes.flac", "Ceci n'est pas de la musique.\n");
  EXPECT_EQ(Probe(m_dir / "notes.flac").kind, AudioKind::NotAudio);
}

TEST_F(AudioProbe, WhatIsNotAudioOrCannotBeReadIsCopiedAsItIs) {
  WriteFile(m_dir / "empty.ogg", "");
  EXPECT_EQ(Probe(m_dir / "empty.ogg").kind, AudioKind::NotAudio);
  EXPECT_EQ(Probe(m_dir / "missing.flac").kind, AudioKind::NotAudio);
  EXPECT_EQ(Probe(m_dir.Path()).kind, AudioKind::NotAudio);
  // A playlist names other files: it is not audio of its own.
  WriteFile(m_dir / "list.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\na.ts\n#EXT-X-ENDLIST\n");
  EXPECT_EQ(Probe(m_dir / "list.m3u8").kind, AudioKind::NotAudio);
}

TEST_F(AudioProbe, AudioWhoseHeaderIsSoundButBodyDamagedIsStillConvertible) {
  test::MakeDamagedFlac(m_dir / "damaged.flac");
  EXPECT_EQ(Probe(m_dir / "damaged.flac").kind, AudioKind::Convertible);
}

}  // namespace
}  // namespace koral
