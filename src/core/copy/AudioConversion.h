// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

namespace koral {

// What a file holds, told by its content, not its extension.
enum class AudioKind {
  NotAudio,     // copied byte for byte
  PlayerPlays,  // MP3, WMA, WAV: copied byte for byte
  Convertible,  // any other audio the decoder knows: converted to MP3
};

struct AudioProbe {
  AudioKind kind = AudioKind::NotAudio;
  double seconds = 0;  // the duration, when the container tells it; 0 when unknown
};

// One file converted into memory: the whole MP3, ID3v2.3 tag first and
// ID3v1 tag last. On failure `bytes` is empty and `failure` gives the
// decoder's reason, bare and in French ("fichier tronqué"), which the
// report puts after "fichier audio illisible : "; a stop leaves both empty with `stopped` set.
struct ConvertedAudio {
  std::vector<std::uint8_t> bytes;
  std::string failure;
  bool stopped = false;
};

// Converts what the player cannot play into MP3: 44.1 kHz, the source's
// channels (mono stays mono, more than two are mixed down to stereo), a
// constant bit rate, the tags the player shows, no pictures. Lives in a
// module of its own, outside the core (convert/); Probe and Convert may be
// called from several threads at once.
class AudioConverter {
 public:
  virtual ~AudioConverter() = default;
  virtual AudioProbe Probe(const std::string& path) const = 0;
  virtual ConvertedAudio Convert(const std::string& path, int kbps, std::stop_token stop) const = 0;
};

// The bit rates offered, constant: old players seek and show durations
// badly on variable rates.
inline constexpr std::array<int, 4> kConvertRates = {128, 192, 256, 320};
inline constexpr int kDefaultConvertRate = 192;

// True for a rate of kConvertRates.
bool IsConvertRate(int kbps);

// The size of the MP3 of `seconds` of audio at `kbps`, tags included, as
// the free-space check and the selection size count it before converting.
std::uint64_t EstimatedMp3Bytes(double seconds, int kbps);

}  // namespace koral
