// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace koral {

// A file being copied is written as "N.NAME.koral-part" in a folder of its
// own run, PLAYER/.koral-part/run-PID-RANDOM, and renamed into its
// destination folder once complete: an interrupted copy never leaves a
// cut-off track under a real name, and destination folders only ever get
// final names. FAT gives a new name the first free entry, so a temporary in
// the destination folder would leave a hole there that puts a later track
// before earlier ones, and players play in entry order.
// Each run holds a lock on its folder's lock file (flock) while it runs;
// a folder whose lock can be taken is a dead run's leftover.

// The hidden folder at the player's root; no copied entry may take it.
inline constexpr std::string_view kPartialFolderName = ".koral-part";

// The lock file of a run's folder.
inline constexpr std::string_view kRunLockName = ".lock";

// The hidden folder of a player root.
std::string PartialFolderOf(const std::string& playerRoot);

// The temporary name for a final name; a long name is cut, and told apart by
// a hash of the whole, so that the temporary stays within the name limit.
std::string TemporaryNameFor(const std::string& finalName);

// True for the names TemporaryNameFor gives, with or without a run's number.
bool IsTemporaryName(std::string_view name);

// True for the hidden folder's name, whatever its case (FAT ignores it).
bool IsPartialFolderName(std::string_view name);

}  // namespace koral
