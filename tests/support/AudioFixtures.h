// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace koral::test {

// Audio files made at test time with FFmpeg's libraries: no audio file is
// shipped. Failures throw std::runtime_error.
enum class FixtureFormat { Flac, Ogg, Opus, M4a, Mp3, Wav };

// "flac", "ogg" (Vorbis), "opus", "m4a" (AAC), "mp3", "wav".
std::optional<FixtureFormat> FixtureFormatNamed(std::string_view name);

// Tags under FFmpeg's names: title, artist, album, album_artist, track, disc, date, genre.
using AudioTags = std::map<std::string, std::string>;

struct ToneRecipe {
  FixtureFormat format = FixtureFormat::Flac;
  double seconds = 2;
  int channels = 2;
  int rate = 0;  // 0: 48 kHz for Opus (the only rate it has), 44.1 kHz for the others
  AudioTags tags;
};

// A few tones and a little noise, not silence, so that encoders work as on music.
void MakeTone(const ToneRecipe& tone, const std::filesystem::path& out);

// A FLAC whose header is sound and whose frames are overwritten from the
// first third on: it looks like audio, and its decoding fails.
void MakeDamagedFlac(const std::filesystem::path& out);

// What a file turns out to be when decoded whole.
struct AudioFacts {
  bool decodes = false;  // opened, decoded to the end without an error, some sound
  std::string container;
  double seconds = 0;  // of decoded sound, as a player hears it (encoder delay and padding removed)
  int sampleRate = 0;
  int channels = 0;
  int id3v2Version = 0;  // the major version of the ID3v2 tag at the start; 0 without one
  bool id3v1 = false;    // a 128-byte "TAG" block at the end
  AudioTags tags;        // the tags of MakeTone's list that the file holds
};

AudioFacts ReadAudioFacts(const std::filesystem::path& file);

// The facts as one JSON object, for scripts.
std::string AudioFactsJson(const AudioFacts& facts);

}  // namespace koral::test
