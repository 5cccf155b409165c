// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::Koralctl;
using koral::test::KoralctlResult;
using koral::test::ReadFile;
using koral::test::WriteFile;

namespace {

// A path as desktop players write it in a URI: every byte but the
// unreserved ones and '/' percent-encoded.
std::string Encoded(const fs::path& path) {
  std::string text;
  for (const unsigned char c : path.string()) {
    if (std::isalnum(c) || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
      text += static_cast<char>(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      text += escape;
    }
  }
  return text;
}

}  // namespace

TEST(PlaylistCopyTest, FileUrisAreReadAsPercentDecodedAbsolutePaths) {
  koral::test::TestEnvironment env;
  const fs::path music = env.ComputerDir() / "Bibliothèque";
  WriteFile(music / "Café bar.mp3", "cafe");
  WriteFile(music / "b#1 (live).mp3", "b");
  WriteFile(music / "plain.mp3", "plain");
  WriteFile(env.ComputerDir() / "Album" / "list.m3u8",
            "#EXTM3U\n#EXTINF:1,Café\nfile://" + Encoded(music / "Café bar.mp3") + "\r\n" + "FILE://localhost" +
                Encoded(music / "b#1 (live).mp3") + "\n" + (music / "plain.mp3").string() + "\n");

  const KoralctlResult result = Koralctl({"copy", "--playlist", (env.ComputerDir() / "Album").string()});

  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Album" / "01 - Café bar.mp3"), "cafe");
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Album" / "02 - b#1 (live).mp3"), "b");
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Album" / "03 - plain.mp3"), "plain");
}

TEST(PlaylistCopyTest, APlaylistWithNothingToCopyMakesNoFolder) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "Missing" / "list.m3u", "file:///nowhere/a.mp3\nb.mp3\nfile://elsewhere/c.mp3\n");
  WriteFile(env.ComputerDir() / "Blank" / "list.m3u", "#EXTM3U\n#EXTINF:1,Rien\n");

  const KoralctlResult result = Koralctl(
      {"copy", "--playlist", (env.ComputerDir() / "Missing").string(), (env.ComputerDir() / "Blank").string()});

  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("/nowhere/a.mp3 : fichier introuvable"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("b.mp3 : fichier introuvable"), std::string::npos) << result.err;
  EXPECT_TRUE(fs::is_empty(env.PlayerDir())) << koral::test::EntryNames(env.PlayerDir()).front();
}

TEST(PlaylistCopyTest, ANumberedNameTooLongLosesTheEndOfItsTitleNotItsNumberNorItsExtension) {
  koral::test::TestEnvironment env;
  const std::string longest = std::string(245, 'a') + "\xC3\xA9" + std::string(4, 'z') + ".mp3";  // 255 bytes
  WriteFile(env.ComputerDir() / "Album" / longest, "long");
  WriteFile(env.ComputerDir() / "Album" / "list.m3u8", longest + "\n");

  const KoralctlResult result = Koralctl({"copy", "--playlist", (env.ComputerDir() / "Album").string()});

  EXPECT_EQ(result.status, 0) << result.err;
  // "01 - " takes five bytes: the title loses its z's and its é, never half of it.
  const std::string made = "01 - " + std::string(245, 'a') + ".mp3";
  EXPECT_EQ(koral::test::EntryNames(env.PlayerDir() / "Album"), std::vector<std::string>{made});
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Album" / made), "long");
}
