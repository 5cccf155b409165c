// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "core/copy/AudioConversion.h"

// The entry point of the conversion module: a new converter, which the
// caller owns, or nullptr with the reason in French in `message` (cut to
// `size`), e.g. when FFmpeg has no MP3 encoder.
extern "C" koral::AudioConverter* KoralCreateAudioConverter(char* message, std::size_t size);
using KoralCreateAudioConverterFunction = decltype(&KoralCreateAudioConverter);
inline constexpr const char* kConvertModuleName = "koral-convert.so";
inline constexpr const char* kConvertEntryPoint = "KoralCreateAudioConverter";
