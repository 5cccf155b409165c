// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/copy/Playlist.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;

TEST(PlaylistUriTest, OnlyLocalFileUrisWithGoodEscapesBecomePaths) {
  koral::test::TempDir dir;
  koral::test::WriteFile(dir / "list.m3u8",
                         "file:///home/a/Caf%C3%A9%20bar.mp3\n"
                         "file://LocalHost/home/a/b%2fc.mp3\n"
                         "file:/home/a/d.mp3?version=2#t=10\n"
                         "file://server/share/e.mp3\n"
                         "file:///home/a/bad%zz.mp3\n"
                         "file:///home/a/nul%00.mp3\n"
                         "file:relative.mp3\n"
                         "file:///home/a\\g.mp3\n"
                         "Musique\\f%20g.mp3\n");

  const auto entries = koral::ReadPlaylist(dir / "list.m3u8");

  ASSERT_TRUE(entries);
  std::vector<std::string> paths;
  for (const koral::PlaylistEntry& entry : *entries) paths.push_back(entry.path.string());
  const std::string folder = dir.Path().string() + "/";
  EXPECT_EQ(paths, (std::vector<std::string>{"/home/a/Café bar.mp3", "/home/a/b/c.mp3", "/home/a/d.mp3",
                                             folder + "file://server/share/e.mp3", folder + "file:///home/a/bad%zz.mp3",
                                             folder + "file:///home/a/nul%00.mp3", folder + "file:relative.mp3",
                                             "/home/a/g.mp3", folder + "Musique/f%20g.mp3"}));
  EXPECT_EQ(entries->front().line, "file:///home/a/Caf%C3%A9%20bar.mp3");
}
