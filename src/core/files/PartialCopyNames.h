#pragma once

#include <string>
#include <string_view>

namespace koral {

// A file being copied is written as ".NAME.koral-part" beside its final
// name, and renamed once complete: an interrupted copy never leaves a cut-off
// track under a real name. vfat takes such names; the leading dot hides them.

// The temporary name for a final name; a long name is cut, and told apart by
// a hash of the whole, so that the temporary stays within the name limit.
std::string TemporaryNameFor(const std::string& finalName);

// The temporary path for a final path, in the same folder.
std::string TemporaryPathFor(const std::string& finalPath);

// True for the names TemporaryNameFor gives.
bool IsTemporaryName(std::string_view name);

}  // namespace koral
