// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/copy/AudioConversion.h"

struct AVInputFormat;

namespace koral::convert {

// The container FFmpeg recognises in the first bytes of the file, past an
// ID3v2 tag, by content alone (the extension is not asked); nullptr when
// none is recognised with confidence or the file cannot be read. Cheap: one
// read, no demuxer opened.
const AVInputFormat* RecognisedContainer(const std::string& path);

// What the file holds: MP3, WMA (ASF) and WAV the player plays; another
// container with an audio stream and no real video (a cover is not video)
// is convertible; a file whose first bytes look like audio but that cannot
// be opened is convertible too, so that its conversion reports why.
AudioProbe ProbeAudio(const std::string& path);

}  // namespace koral::convert
