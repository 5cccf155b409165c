// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/copy/AudioConversion.h"

namespace koral::convert {

// The converter of the module, over FFmpeg's libraries. Holds no state:
// each call opens its own demuxer, decoder and encoder.
class FfmpegAudioConverter final : public AudioConverter {
 public:
  FfmpegAudioConverter();
  AudioProbe Probe(const std::string& path) const override;
  ConvertedAudio Convert(const std::string& path, int kbps, std::stop_token stop) const override;
};

}  // namespace koral::convert
