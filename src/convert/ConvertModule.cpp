// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/ConvertModule.h"

#include <cstdio>
#include <new>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "convert/FfmpegAudioConverter.h"

extern "C" __attribute__((visibility("default"))) koral::AudioConverter* KoralCreateAudioConverter(char* message,
                                                                                                   std::size_t size) {
  if (avcodec_find_encoder_by_name("libmp3lame") == nullptr) {
    std::snprintf(message, size, "%s", "la bibliothèque libavcodec installée n'a pas l'encodeur MP3 (libmp3lame).");
    return nullptr;
  }
  return new (std::nothrow) koral::convert::FfmpegAudioConverter();
}
