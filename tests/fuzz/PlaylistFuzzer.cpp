// SPDX-License-Identifier: GPL-3.0-or-later
// An M3U playlist: every entry is a whole line, never a blank or a directive of an extended list.
#include <algorithm>

#include "FuzzSupport.h"
#include "core/config/TextEncoding.h"
#include "core/copy/Playlist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using koral::fuzz::Require;
  static koral::fuzz::MemoryFile file;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = koral::ReadPlaylist(file.Hold(bytes));
  Require(entries.has_value(), "a file that opens gives a list");
  const std::string text = koral::ToUtf8(bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes);
  const bool extended = !text.empty() && text.front() == '#';
  for (const koral::PlaylistEntry& entry : *entries) {
    Require(koral::IsValidUtf8(entry.line), "an entry is UTF-8");
    Require(entry.line.find_first_of("\\\n") == std::string::npos, "an entry holds no backslash or line feed");
    Require(!std::all_of(entry.line.begin(), entry.line.end(), [](unsigned char c) { return std::isspace(c); }),
            "an entry is never blank");
    Require(!extended || entry.line.front() != '#', "a directive is no entry");
    Require(!entry.path.empty(), "an entry has a path");
  }
  return 0;
}
