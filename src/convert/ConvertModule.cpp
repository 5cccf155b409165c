// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/ConvertModule.h"

#include <cstdio>
#include <new>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include "convert/FfmpegAudioConverter.h"

extern "C" __attribute__((visibility("default"))) koral::AudioConverter* KoralCreateAudioConverter(char* message,
                                                                                                   std::size_t size) {
  // The reasons reach the user in French through the results; FFmpeg's
  // own English lines would only clutter koralctl's output.
  av_log_set_level(AV_LOG_QUIET);
  if (avcodec_find_encoder_by_name("libmp3lame") == nullptr) {
    std::snprintf(message, size, "%s", "la bibliothèque libavcodec installée n'a pas l'encodeur MP3 (libmp3lame).");
    return nullptr;
  }
  return new (std::nothrow) koral::convert::FfmpegAudioConverter();
}
