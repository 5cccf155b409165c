// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stop_token>
#include <string>

#include "core/copy/AudioConversion.h"

namespace koral::convert {

// One source decoded, resampled to 44.1 kHz and encoded to MP3 at `kbps`
// (constant), in memory, on the calling thread. The stop is checked
// between packets.
ConvertedAudio ConvertToMp3(const std::string& path, int kbps, const std::stop_token& stop);

}  // namespace koral::convert
