// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/Playlist.h"

#include <algorithm>
#include <string_view>

#include "core/config/TextEncoding.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/RegularFile.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

// An *.m3u8 is UTF-8 by definition; an *.m3u may come from Windows.
bool IsUtf8Playlist(const fs::path& playlist) { return EqualNoCase(playlist.extension().string(), ".m3u8"); }

// The earlier by name of a kept candidate and a new one.
void KeepFirst(std::optional<fs::path>& kept, const fs::path& candidate) {
  if (!kept || candidate.filename() < kept->filename()) kept = candidate;
}

bool IsBlank(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c); });
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%C3%A9" as the bytes it stands for; nullopt for a bad escape or a NUL,
// which no file name holds.
std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      decoded += text[i];
      continue;
    }
    const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high < 0 ? -1 : HexValue(text[i + 2]);
    if (low < 0 || (high == 0 && low == 0)) return std::nullopt;
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return decoded;
}

// The local path of a "file:" URI, as desktop players save their entries:
// "file:///home/a/Caf%C3%A9.mp3", "file://localhost/...", "file:/...".
// nullopt when the line is no such URI (another host is no local file).
std::optional<std::string> FileUriPath(std::string_view line) {
  constexpr std::string_view kScheme = "file:";
  if (!EqualNoCase(line.substr(0, kScheme.size()), kScheme)) return std::nullopt;
  std::string_view rest = line.substr(kScheme.size());
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const std::size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (slash == std::string_view::npos || !(host.empty() || EqualNoCase(host, "localhost"))) return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest.front() != '/') return std::nullopt;
  return PercentDecoded(rest.substr(0, rest.find_first_of("?#")));
}

PlaylistEntry MakeEntry(const fs::path& folder, std::string line) {
  std::replace(line.begin(), line.end(), '\\', '/');
  if (const std::optional<std::string> path = FileUriPath(line)) return {line, fs::path(*path)};
  const fs::path written(line);
  return {line, written.is_absolute() ? written : folder / written};
}

std::vector<PlaylistEntry> ParsePlaylist(const fs::path& playlist, std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  const fs::path folder = playlist.parent_path();
  std::vector<PlaylistEntry> entries;
  bool extended = false;
  bool firstLine = true;
  for (std::string& line : SplitLines(IsUtf8Playlist(playlist) ? bytes : ToUtf8(bytes))) {
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

std::string PlaylistRefusalText(const PlaylistUnreadable& unreadable) {
  if (unreadable.NotRegularFile()) return NotRegularPlaylistText(unreadable.Playlist());
  if (unreadable.TooLarge())
    return "La playlist est trop grosse (plus de " + SizeLimitText(kPlaylistSizeLimit) +
           ") : " + unreadable.Playlist().string();
  return {};
}

std::optional<fs::path> FindPlaylist(const fs::path& folder) {
  std::error_code error;
  std::optional<fs::path> m3u, m3u8;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string extension = it->path().extension().string();
    const bool isM3u = EqualNoCase(extension, ".m3u");
    if ((!isM3u && !EqualNoCase(extension, ".m3u8")) || it->is_directory(error)) continue;
    KeepFirst(isM3u ? m3u : m3u8, it->path());
  }
  return m3u ? m3u : m3u8;
}

std::optional<std::vector<PlaylistEntry>> ReadPlaylist(const fs::path& playlist) {
  auto bytes = ReadWholeFile(playlist, kPlaylistSizeLimit);
  if (!bytes) return std::nullopt;
  return ParsePlaylist(playlist, std::move(*bytes));
}

// A pipe in the playlist's place is refused, never waited on: the window
// sizes a selection on its own thread.
std::optional<std::vector<PlaylistEntry>> ReadFolderPlaylist(const fs::path& folder) {
  const auto playlist = FindPlaylist(folder);
  if (!playlist) return std::nullopt;
  RegularFileRead read = ReadRegularFile(*playlist, kPlaylistSizeLimit);
  if (!read.bytes) throw PlaylistUnreadable(*playlist, read.notRegularFile, read.tooLarge);
  return ParsePlaylist(*playlist, std::move(*read.bytes));
}

}  // namespace koral
