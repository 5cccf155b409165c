#include "files/Playlist.h"

#include <algorithm>

#include "config/TextEncoding.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

bool HasM3uExtension(const fs::path& path) {
  return EqualNoCase(path.extension().string(), ".m3u");
}

bool IsBlank(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); });
}

PlaylistEntry MakeEntry(const fs::path& folder, std::string line) {
  std::replace(line.begin(), line.end(), '\\', '/');
  const fs::path written(line);
  return {line, written.is_absolute() ? written : folder / written};
}

std::vector<PlaylistEntry> ParsePlaylist(const fs::path& playlist, std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  const fs::path folder = playlist.parent_path();
  std::vector<PlaylistEntry> entries;
  bool extended = false;
  bool firstLine = true;
  for (std::string& line : SplitLines(ToUtf8(bytes))) {
    if (firstLine) extended = !line.empty() && line.front() == '#';
    firstLine = false;
    if (IsBlank(line) || (extended && line.front() == '#')) continue;
    entries.push_back(MakeEntry(folder, std::move(line)));
  }
  return entries;
}

}  // namespace

std::string NotRegularPlaylistText(const fs::path& playlist) {
  return "La playlist n'est pas un fichier ordinaire : " + playlist.string();
}

std::optional<fs::path> FindPlaylist(const fs::path& folder) {
  std::error_code error;
  std::optional<fs::path> first;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (!HasM3uExtension(it->path()) || it->is_directory(error)) continue;
    if (!first || it->path().filename() < first->filename()) first = it->path();
  }
  return first;
}

std::optional<std::vector<PlaylistEntry>> ReadPlaylist(const fs::path& playlist) {
  auto bytes = ReadWholeFile(playlist);
  if (!bytes) return std::nullopt;
  return ParsePlaylist(playlist, std::move(*bytes));
}

// A pipe in the playlist's place is refused, never waited on: the window
// sizes a selection on its own thread.
std::optional<std::vector<PlaylistEntry>> ReadFolderPlaylist(const fs::path& folder) {
  const auto playlist = FindPlaylist(folder);
  if (!playlist) return std::nullopt;
  RegularFileRead read = ReadRegularFile(*playlist);
  if (!read.bytes) throw PlaylistUnreadable(*playlist, read.notRegularFile);
  return ParsePlaylist(*playlist, std::move(*read.bytes));
}

}  // namespace koral
