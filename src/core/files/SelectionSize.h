#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace koral {

// A folder's playlist exists but cannot be opened.
class PlaylistUnreadable : public std::runtime_error {
 public:
  explicit PlaylistUnreadable(const std::filesystem::path& playlist)
      : std::runtime_error("playlist unreadable: " + playlist.string()), m_playlist(playlist) {}
  const std::filesystem::path& Playlist() const { return m_playlist; }

 private:
  std::filesystem::path m_playlist;
};

// Sizes in mebibytes, as a copy would need them. With followPlaylist, a
// folder counts the files its playlist names (none without a playlist,
// sub-folders not visited); otherwise its whole tree. Sizes are 64-bit.
// Both throw PlaylistUnreadable.
float FolderSize(const std::filesystem::path& folder, bool followPlaylist);

// The named entries of a folder; "." and ".." are left out, an entry that
// has vanished adds nothing.
float SelectionSize(const std::string& folder, const std::vector<std::string>& names, bool followPlaylist);

}  // namespace koral
