// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral::convert {

// A short French rendering of an FFmpeg error code (av_strerror only
// speaks English), for "fichier audio illisible : …".
std::string FfmpegErrorText(int error);

}  // namespace koral::convert
