// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AVDictionary;
struct AVFormatContext;
struct AVStream;

namespace koral::convert {

// The tags the player shows, under the names FFmpeg's ID3 writer knows
// (title, artist, album, album_artist, track, disc, date, genre), taken
// from the source's container and then its audio stream (Ogg keeps its
// comments there), whatever the case of their keys. Nothing else is
// carried over, and no picture: covers slow old players down and take
// their space.
AVDictionary* PlayerTags(const AVFormatContext* source, const AVStream* audio);

}  // namespace koral::convert
