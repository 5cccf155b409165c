// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral::convert {

// A short French rendering of an FFmpeg error code (av_strerror only
// speaks English), put after "fichier audio illisible : " by the report.
std::string FfmpegErrorText(int error);

}  // namespace koral::convert
