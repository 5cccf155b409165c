// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/FfmpegAudioConverter.h"

#include "convert/ContainerProbe.h"
#include "convert/Mp3Conversion.h"

namespace koral::convert {

AudioProbe FfmpegAudioConverter::Probe(const std::string& path) const { return ProbeAudio(path); }

ConvertedAudio FfmpegAudioConverter::Convert(const std::string& path, int kbps, std::stop_token stop) const {
  return ConvertToMp3(path, kbps, stop);
}

}  // namespace koral::convert
