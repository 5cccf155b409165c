// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/copy/FakeAudioConverter.h"
#include "core/files/SelectionSize.h"
#include "support/TestEnvironment.h"

using koral::test::ConvertibleAudio;
using koral::test::TempDir;
using koral::test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr double kMebibyte = 1048576.0;

float Mebibytes(std::uint64_t bytes) { return static_cast<float>(static_cast<double>(bytes) / kMebibyte); }

// A FLAC of four minutes, an MP3 of 2 MiB the player plays and a cover.
void MakeAlbum(const fs::path& album) {
  WriteFile(album / "un.flac", ConvertibleAudio(240, 10) + std::string(20 * 1024 * 1024, ' '));
  WriteFile(album / "deux.mp3", "mp3" + std::string(2 * 1024 * 1024 - 3, ' '));
  WriteFile(album / "cover.jpg", std::string(100 * 1024, 'j'));
}

}  // namespace

TEST(ConvertedSelectionSize, ConvertibleAudioCountsItsEstimatedMp3AndTheRestItsOwnSize) {
  TempDir root;
  MakeAlbum(root / "Album");
  koral::test::FakeAudioConverter converter;
  const std::uint64_t mp3 = koral::EstimatedMp3Bytes(240, 192);
  const std::uint64_t others = 2 * 1024 * 1024 + 100 * 1024;

  EXPECT_FLOAT_EQ(koral::FolderSize(root / "Album", false, &converter, 192), Mebibytes(mp3 + others));
  EXPECT_FLOAT_EQ(koral::SelectionSize(root.Path().string(), {"Album"}, false, &converter, 192),
                  Mebibytes(mp3 + others));
  EXPECT_FLOAT_EQ(koral::SelectionSize((root / "Album").string(), {"un.flac"}, false, &converter, 320),
                  Mebibytes(koral::EstimatedMp3Bytes(240, 320)));
}

TEST(ConvertedSelectionSize, PlaylistEntriesCountTheirEstimateToo) {
  TempDir root;
  MakeAlbum(root / "Album");
  WriteFile(root / "Album" / "liste.m3u", "un.flac\nun.flac\n");
  koral::test::FakeAudioConverter converter;
  EXPECT_FLOAT_EQ(koral::FolderSize(root / "Album", true, &converter, 128),
                  Mebibytes(2 * koral::EstimatedMp3Bytes(240, 128)));
}

TEST(ConvertedSelectionSize, WithTheOptionOffNothingIsProbed) {
  TempDir root;
  MakeAlbum(root / "Album");
  koral::test::FakeAudioConverter converter;
  const float plain = koral::FolderSize(root / "Album", false);
  EXPECT_FLOAT_EQ(koral::FolderSize(root / "Album", false, &converter, 0), plain);
  EXPECT_FLOAT_EQ(koral::FolderSize(root / "Album", false, nullptr, 192), plain);
  EXPECT_EQ(converter.TotalProbes(), 0);
  EXPECT_GT(plain, 22.0f);
}

TEST(ConvertedSelectionSize, APipeIsNeverProbed) {
  TempDir root;
  ASSERT_EQ(mkfifo((root / "pipe").c_str(), 0600), 0);
  koral::test::FakeAudioConverter converter;
  EXPECT_FLOAT_EQ(koral::SelectionSize(root.Path().string(), {"pipe"}, false, &converter, 192), 0.0f);
  EXPECT_EQ(converter.TotalProbes(), 0);
}
