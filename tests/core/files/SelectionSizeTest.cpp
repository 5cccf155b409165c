// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "core/files/SelectionSize.h"
#include "support/PipeWriterAfter.h"
#include "support/TestEnvironment.h"

using koral::test::TempDir;
using koral::test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr size_t kMebibyte = 1048576;

std::string Bytes(size_t count) { return std::string(count, 'x'); }

// An album of three tracks of 1, 2 and 4 MiB and a sub-folder of 8 MiB.
void MakeAlbum(const fs::path& album) {
  WriteFile(album / "un.mp3", Bytes(kMebibyte));
  WriteFile(album / "deux.mp3", Bytes(2 * kMebibyte));
  WriteFile(album / "quatre.mp3", Bytes(4 * kMebibyte));
  WriteFile(album / "Bonus" / "huit.mp3", Bytes(8 * kMebibyte));
}

}  // namespace

TEST(FolderSize, WithoutThePlaylistOptionTheWholeTreeCounts) {
  TempDir root;
  MakeAlbum(root / "Album");
  WriteFile(root / "Album" / "liste.m3u", "un.mp3\n");
  EXPECT_NEAR(koral::FolderSize(root / "Album", false), 15.0f, 0.001f);
}

TEST(FolderSize, WithThePlaylistOptionAFolderWithoutPlaylistCountsNothing) {
  TempDir root;
  MakeAlbum(root / "Album");
  EXPECT_FLOAT_EQ(koral::FolderSize(root / "Album", true), 0.0f);
  EXPECT_EQ(koral::SelectionSize(root.Path().string(), {"Album"}, true), 0.0f);
}

TEST(FolderSize, APlainPlaylistCountsItsEntriesOnlyNotTheSubFolders) {
  TempDir root;
  MakeAlbum(root / "Album");
  WriteFile(root / "Album" / "liste.m3u", "un.mp3\r\nquatre.mp3\r\nBonus\\huit.mp3\r\nabsent.mp3\r\n\r\n");
  // 1 + 4 + 8: a backslash is a separator, a missing entry adds nothing.
  EXPECT_NEAR(koral::FolderSize(root / "Album", true), 13.0f, 0.001f);
}

TEST(FolderSize, AnExtendedPlaylistCountsEntriesNotItsDirectives) {
  TempDir root;
  MakeAlbum(root / "Album");
  // The second entry has no #EXTINF line: it still counts, and nothing shifts.
  WriteFile(root / "Album" / "Liste.M3U",
            "#EXTM3U\n#EXTINF:180,Un\nun.mp3\ndeux.mp3\n#EXTINF:200,Quatre\nquatre.mp3\n");
  EXPECT_NEAR(koral::FolderSize(root / "Album", true), 7.0f, 0.001f);
}

TEST(FolderSize, AnAbsoluteEntryIsTakenAsItStands) {
  TempDir root;
  WriteFile(root / "Ailleurs" / "loin.mp3", Bytes(3 * kMebibyte));
  WriteFile(root / "Album" / "liste.m3u", (root / "Ailleurs" / "loin.mp3").string() + "\n");
  EXPECT_NEAR(koral::FolderSize(root / "Album", true), 3.0f, 0.001f);
}

TEST(FolderSize, AnUnreadablePlaylistIsReported) {
  TempDir root;
  fs::create_directory(root / "Album");
  fs::create_symlink(root / "nowhere.m3u", root / "Album" / "liste.m3u");
  EXPECT_THROW(koral::FolderSize(root / "Album", true), koral::PlaylistUnreadable);
  EXPECT_THROW(koral::SelectionSize(root.Path().string(), {"Album"}, true), koral::PlaylistUnreadable);
  EXPECT_NO_THROW(koral::FolderSize(root / "Album", false));
}

TEST(FolderSize, ALinkBackToAnEnclosingFolderEndsTheWalk) {
  TempDir root;
  MakeAlbum(root / "Album");
  fs::create_directory_symlink(root / "Album", root / "Album" / "Bonus" / "retour");
  EXPECT_NEAR(koral::FolderSize(root / "Album", false), 15.0f, 0.001f);
}

TEST(SelectionSize, AddsFilesAndFoldersSkipsTheParentAndVanishedEntries) {
  TempDir root;
  MakeAlbum(root / "Album");
  WriteFile(root / "seul.mp3", Bytes(kMebibyte / 2));
  const float size = koral::SelectionSize(root.Path().string(), {"..", ".", "Album", "seul.mp3", "parti.mp3"}, false);
  EXPECT_NEAR(size, 15.5f, 0.001f);
}

TEST(SelectionSize, FilesOfFourGibibytesOrMoreCountWhole) {
  TempDir root;
  WriteFile(root / "grand.iso", "");
  fs::resize_file(root / "grand.iso", std::uintmax_t{5} << 30);  // sparse
  EXPECT_FLOAT_EQ(koral::SelectionSize(root.Path().string(), {"grand.iso"}, false), 5120.0f);
}

TEST(FolderSize, APipeInPlaceOfThePlaylistIsRefusedWithoutWaitingForAWriter) {
  TempDir root;
  MakeAlbum(root / "Album");
  const fs::path pipe = root / "Album" / "liste.m3u";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const koral::test::PipeWriterAfter release(pipe, std::chrono::seconds(3));  // a blocked read would end only then

  const auto start = std::chrono::steady_clock::now();
  try {
    koral::SelectionSize(root.Path().string(), {"Album"}, true);
    ADD_FAILURE() << "the pipe was taken for a playlist";
  } catch (const koral::PlaylistUnreadable& unreadable) {
    EXPECT_TRUE(unreadable.NotRegularFile());
    EXPECT_EQ(unreadable.Playlist(), pipe);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_NEAR(koral::FolderSize(root / "Album", false), 15.0f, 0.001f);  // the tree does not read it
}
