// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/SelectionSize.h"

#include <algorithm>

#include "core/files/Paths.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr float kBytesPerMebibyte = 1048576.0f;

// The bytes a file puts on the player: its own, or its MP3's estimate.
class FileSizer {
 public:
  FileSizer(const AudioConverter* converter, int convertRate)
      : m_converter(IsConvertRate(convertRate) ? converter : nullptr), m_convertRate(convertRate) {}

  float Mebibytes(const fs::path& path) const {
    std::error_code error;
    const auto bytes = fs::file_size(path, error);
    if (error) return 0.0f;
    return static_cast<float>(static_cast<double>(OnPlayer(path, bytes)) / kBytesPerMebibyte);
  }

 private:
  std::uint64_t OnPlayer(const fs::path& path, std::uint64_t bytes) const {
    // Only regular files are probed: opening a pipe could wait forever.
    std::error_code error;
    if (!m_converter || !fs::is_regular_file(path, error)) return bytes;
    const AudioProbe probe = m_converter->Probe(path.string());
    return probe.kind == AudioKind::Convertible ? EstimatedMp3Bytes(probe.seconds, m_convertRate) : bytes;
  }

  const AudioConverter* m_converter;  // null: nothing converts
  int m_convertRate;
};

float PlaylistSize(const fs::path& folder, const FileSizer& sizer) {
  const auto entries = ReadFolderPlaylist(folder);
  if (!entries) return 0.0f;
  float size = 0.0f;
  std::error_code error;
  for (const PlaylistEntry& entry : *entries)
    if (fs::is_regular_file(entry.path, error)) size += sizer.Mebibytes(entry.path);
  return size;
}

// The folders being walked, by their real path: a symbolic link back to one
// of them would otherwise make the walk endless.
using WalkPath = std::vector<fs::path>;

float TreeSize(const fs::path& folder, WalkPath& walking, const FileSizer& sizer) {
  std::error_code error;
  fs::path real = fs::canonical(folder, error);
  if (error) return 0.0f;
  if (std::find(walking.begin(), walking.end(), real) != walking.end()) return 0.0f;
  walking.push_back(std::move(real));
  float size = 0.0f;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (it->is_directory(kind)) size += TreeSize(it->path(), walking, sizer);
    else size += sizer.Mebibytes(it->path());
  }
  walking.pop_back();
  return size;
}

float FolderSizeWith(const fs::path& folder, bool followPlaylist, const FileSizer& sizer) {
  if (followPlaylist) return PlaylistSize(folder, sizer);
  WalkPath walking;
  return TreeSize(folder, walking, sizer);
}

}  // namespace

float FolderSize(const fs::path& folder, bool followPlaylist, const AudioConverter* converter, int convertRate) {
  return FolderSizeWith(folder, followPlaylist, FileSizer(converter, convertRate));
}

float SelectionSize(const std::string& folder, const std::vector<std::string>& names, bool followPlaylist,
                    const AudioConverter* converter, int convertRate) {
  const FileSizer sizer(converter, convertRate);
  float size = 0.0f;
  for (const std::string& name : names) {
    if (name == "." || name == "..") continue;
    const fs::path path = JoinPath(folder, name);
    std::error_code error;
    if (fs::is_directory(path, error)) size += FolderSizeWith(path, followPlaylist, sizer);
    else size += sizer.Mebibytes(path);
  }
  return size;
}

}  // namespace koral
