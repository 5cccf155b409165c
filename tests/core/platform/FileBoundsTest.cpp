// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include "core/config/PrivateProfile.h"
#include "core/copy/Playlist.h"
#include "core/firmware/Profile.h"
#include "core/firmware/ProfileTransfer.h"
#include "core/platform/RegularFile.h"
#include "core/settings/RadioStations.h"
#include "support/TestEnvironment.h"

namespace {

using koral::test::TempDir;
using koral::test::WriteFile;
namespace fs = std::filesystem;

// A file of `size` bytes that takes no room on disk.
fs::path Sparse(const fs::path& path, std::uintmax_t size) {
  WriteFile(path, "[radios]\r\na=28 156\r\n");
  fs::resize_file(path, size);
  return path;
}

constexpr std::uintmax_t kGibibyte = 1024ull * 1024 * 1024;

TEST(FileBounds, AFileOverItsLimitIsRefusedFromItsSizeAlone) {
  const TempDir dir;
  WriteFile(dir / "at", std::string(100, 'x'));
  WriteFile(dir / "over", std::string(101, 'x'));
  EXPECT_EQ(koral::ReadRegularFile(dir / "at", 100).bytes, std::string(100, 'x'));
  const koral::RegularFileRead over = koral::ReadRegularFile(dir / "over", 100);
  EXPECT_FALSE(over.bytes);
  EXPECT_TRUE(over.tooLarge);
  EXPECT_FALSE(over.notRegularFile);
  const koral::RegularFileRead huge = koral::ReadRegularFile(Sparse(dir / "huge", kGibibyte), koral::kProfileSizeLimit);
  EXPECT_TRUE(huge.tooLarge);
  EXPECT_EQ(koral::ReadRegularFile(dir / "missing", 100).error, ENOENT);
  EXPECT_EQ(koral::SizeLimitText(koral::kProfileSizeLimit), "64 Ko");
  EXPECT_EQ(koral::SizeLimitText(koral::kPlaylistSizeLimit), "16 Mo");
}

TEST(FileBounds, EachKindOfFileHasItsOwnLimit) {
  const TempDir dir;
  // A profile of 100 KiB is refused; a playlist of the same size is read.
  WriteFile(dir / "long.m3u", std::string(100 * 1024, '\n') + "a.mp3\n");
  EXPECT_TRUE(koral::ReadPlaylist(dir / "long.m3u"));
  Sparse(dir / "big.pro", 100 * 1024);
  EXPECT_EQ(koral::ReadProfile(dir / "big.pro").issues.front().kind, koral::ProfileIssue::Kind::kProfileTooLarge);

  fs::create_directory(dir / "album");
  Sparse(dir / "album" / "list.m3u", koral::kPlaylistSizeLimit + 1);
  try {
    koral::ReadFolderPlaylist(dir / "album");
    ADD_FAILURE() << "a playlist over its limit was read";
  } catch (const koral::PlaylistUnreadable& unreadable) {
    EXPECT_TRUE(unreadable.TooLarge());
    EXPECT_EQ(koral::PlaylistRefusalText(unreadable),
              "La playlist est trop grosse (plus de 16 Mo) : " + (dir / "album" / "list.m3u").string());
  }

  Sparse(dir / "Radios.ini", koral::kRadiosIniSizeLimit + 1);
  EXPECT_FALSE(koral::ReadRadioStations(dir / "Radios.ini"));
  EXPECT_NE(koral::RadioStationsUnreadableText(dir / "Radios.ini").find("trop gros"), std::string::npos);
  EXPECT_EQ(koral::RadioStationsUnreadableText(dir / "none.ini"), "Le fichier des fréquences radio n'a pas été trouvé");
}

TEST(FileBounds, AConfigIniOverItsLimitIsNeitherReadNorReplaced) {
  const TempDir dir;
  const fs::path ini = dir / "Config.ini";
  WriteFile(ini, "[firmware]\nversion=119.0\n");
  fs::resize_file(ini, koral::kConfigIniSizeLimit + 1);
  EXPECT_EQ(koral::FindPrivateProfileString("firmware", "version", ini), std::nullopt);
  EXPECT_EQ(koral::WritePrivateProfileString("copie", "win98", "1", ini), koral::FileWriteStatus::kFailed);
  EXPECT_EQ(fs::file_size(ini), koral::kConfigIniSizeLimit + 1);  // not replaced by a one-key file
}

TEST(ProfileReading, AFileWithoutProfileSectionsIsNoProfile) {
  const TempDir dir;
  std::string randomBytes;
  for (int i = 0; i < 4096; ++i) randomBytes += static_cast<char>((i * 7919 + 13) % 251);
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"empty.pro", ""},
      {"foreign.pro", "[Desktop Entry]\nName=Lecteur\nExec=lecteur %U\n"},
      {"random.pro", randomBytes},
      {"keys-only.pro", "a=28 156\nperso=1 2 3\n"},
  };
  for (const auto& [name, bytes] : cases) {
    WriteFile(dir / name, bytes);
    const koral::ProfileReading reading = koral::ReadProfile(dir / name);
    ASSERT_EQ(reading.issues.size(), 1u) << name;
    EXPECT_EQ(reading.issues.front().kind, koral::ProfileIssue::Kind::kNotAProfile) << name;
    EXPECT_TRUE(koral::NothingToLoad(reading)) << name;
    EXPECT_EQ(koral::DescribeProfileIssue(reading.issues.front(), "119.0"),
              "'" + (dir / name).string() + "' n'est pas un profil : rien n'a été chargé.");
  }
  // One of the two sections is enough, in any case.
  WriteFile(dir / "eq.pro", "[EQUALISER]\r\nperso=\r\n");
  EXPECT_TRUE(koral::ReadProfile(dir / "eq.pro").issues.empty());
}

TEST(ProfileTransfer, ANonProfileLeavesTheImageAloneAndAGoodLoadSaysWhatItWrote) {
  koral::test::TestEnvironment env;
  env.SetSettingsImage(std::string(512, '\x11'));
  const auto foreign = env.ComputerDir() / "foreign.pro";
  WriteFile(foreign, "[Desktop Entry]\nName=x\n");
  const auto refused = koral::LoadProfile(env.ConfigIni(), "119.0", env.PlayerDir().string(), foreign);
  EXPECT_TRUE(refused.profileRefused);
  EXPECT_EQ(env.SettingsImageBytes(), std::string(512, '\x11'));

  const auto good = env.ComputerDir() / "good.pro";
  WriteFile(good,
            "[radios]\r\na=28 156\r\nb=40 160\r\n\r\n[equaliser]\r\nperso=1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\r\n");
  const auto loaded = koral::LoadProfile(env.ConfigIni(), "119.0", env.PlayerDir().string(), good);
  EXPECT_EQ(loaded.radiosLoaded, 2);
  EXPECT_TRUE(loaded.persoLoaded);
  EXPECT_EQ(koral::DescribeLoadedProfile(loaded),
            "Profil chargé dans l'Koral : 2 mémoires radio et la courbe de l'égaliseur \"Perso\".");
  koral::ProfileOperationResult radioOnly;
  radioOnly.radiosLoaded = 1;
  EXPECT_EQ(koral::DescribeLoadedProfile(radioOnly), "Profil chargé dans l'Koral : 1 mémoire radio.");
}

}  // namespace
