// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/copy/AudioConversion.h"
#include "core/copy/Playlist.h"

namespace koral {

// Sizes in mebibytes, as a copy would need them. With followPlaylist, a
// folder counts the files its playlist names (none without a playlist,
// sub-folders not visited); otherwise its whole tree. Sizes are 64-bit.
// With a converter and a convert rate (one of kConvertRates), audio the
// player cannot play counts the estimated size of its MP3, as the copy's
// plan does. Both throw PlaylistUnreadable (copy/Playlist.h).
float FolderSize(const std::filesystem::path& folder, bool followPlaylist, const AudioConverter* converter = nullptr,
                 int convertRate = 0);

// The named entries of a folder; "." and ".." are left out, an entry that
// has vanished adds nothing.
float SelectionSize(const std::string& folder, const std::vector<std::string>& names, bool followPlaylist,
                    const AudioConverter* converter = nullptr, int convertRate = 0);

}  // namespace koral
