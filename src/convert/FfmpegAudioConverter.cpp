// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/FfmpegAudioConverter.h"

#include "convert/ContainerProbe.h"
#include "convert/Mp3Conversion.h"

extern "C" {
#include <libavutil/log.h>
}

namespace koral::convert {

// The reasons reach the user in French through the results; FFmpeg's own
// English lines would only clutter koralctl's output.
FfmpegAudioConverter::FfmpegAudioConverter() { av_log_set_level(AV_LOG_QUIET); }

AudioProbe FfmpegAudioConverter::Probe(const std::string& path) const { return ProbeAudio(path); }

ConvertedAudio FfmpegAudioConverter::Convert(const std::string& path, int kbps, std::stop_token stop) const {
  return ConvertToMp3(path, kbps, stop);
}

}  // namespace koral::convert
