// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace koral {

// A folder's playlist exists but cannot be opened, or is a pipe or a device
// that was refused without being opened for good.
class PlaylistUnreadable : public std::runtime_error {
 public:
  explicit PlaylistUnreadable(const std::filesystem::path& playlist, bool notRegularFile = false, bool tooLarge = false)
      : std::runtime_error("playlist unreadable: " + playlist.string()),
        m_playlist(playlist),
        m_notRegularFile(notRegularFile),
        m_tooLarge(tooLarge) {}
  const std::filesystem::path& Playlist() const { return m_playlist; }
  bool NotRegularFile() const { return m_notRegularFile; }
  bool TooLarge() const { return m_tooLarge; }

 private:
  std::filesystem::path m_playlist;
  bool m_notRegularFile;
  bool m_tooLarge;
};

// What a front end says of a playlist that is no regular file.
std::string NotRegularPlaylistText(const std::filesystem::path& playlist);

// What a front end says of a playlist refused unread (no regular file, over
// kPlaylistSizeLimit); empty for one that could not be opened.
std::string PlaylistRefusalText(const PlaylistUnreadable& unreadable);

// A folder's playlist: its *.m3u file (any case), else its *.m3u8 (the
// UTF-8 form Linux players and taggers write). With several, the first by
// name, so that the same one is used every time.
std::optional<std::filesystem::path> FindPlaylist(const std::filesystem::path& folder);

// One entry of a playlist, in playlist order.
struct PlaylistEntry {
  std::string line;  // the entry as written, '\' turned into '/'
  std::filesystem::path
      path;  // absolute as written (a local "file:" URI decoded), else joined to the playlist's folder
};

// Reads a playlist whole: lines end in LF or CR LF and are never cut. In an
// extended playlist (first line "#...") every "#" line is a directive; every
// other non-blank line is an entry. nullopt when the file cannot be opened
// or is over kPlaylistSizeLimit.
std::optional<std::vector<PlaylistEntry>> ReadPlaylist(const std::filesystem::path& playlist);

// The entries of a folder's playlist, as the size and the copy both take
// them; nullopt when the folder has none. Throws PlaylistUnreadable.
std::optional<std::vector<PlaylistEntry>> ReadFolderPlaylist(const std::filesystem::path& folder);

}  // namespace koral
