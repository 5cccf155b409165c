// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace koral {

// A file being copied is written as ".NAME.koral-part" in the hidden folder
// ".koral-part" of its destination folder, and renamed to its final name
// once complete: an interrupted copy never leaves a cut-off track under a
// real name. The temporaries stay out of the destination folder itself: FAT
// gives a new name the first free entry, so the holes they would leave there
// would put later tracks before earlier ones, and players play in entry order.

// The name of the hidden folder; no copied entry may take it.
inline constexpr std::string_view kPartialFolderName = ".koral-part";

// The hidden folder of a destination folder.
std::string PartialFolderOf(const std::string& destinationFolder);

// The temporary name for a final name; a long name is cut, and told apart by
// a hash of the whole, so that the temporary stays within the name limit.
std::string TemporaryNameFor(const std::string& finalName);

// The temporary path for a final path, in the hidden folder beside it.
std::string TemporaryPathFor(const std::string& finalPath);

// True for the names TemporaryNameFor gives.
bool IsTemporaryName(std::string_view name);

}  // namespace koral
