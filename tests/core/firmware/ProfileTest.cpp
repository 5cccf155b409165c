// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/firmware/FirmwareVersions.h"
#include "core/firmware/ProfileTransfer.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"

namespace {

using Strings = std::vector<std::string>;

TEST(ProfileValues, OnlyNumbersFrom0To255SeparatedBySingleSpaces) {
  EXPECT_EQ(koral::ParseProfileBytes("28 156", 2), (std::vector<uint8_t>{28, 156}));
  EXPECT_EQ(koral::ParseProfileBytes("0 255", 2), (std::vector<uint8_t>{0, 255}));
  for (const char* damaged : {"28", "28 156 1", "28  156", "28 156 ", "28 256", "-1 5", "+1 5", "1x 5", "1,5 2", " "})
    EXPECT_EQ(koral::ParseProfileBytes(damaged, 2), std::nullopt) << damaged;
}

TEST(ProfileFile, FolderRememberedForTheFileDialogs) {
  EXPECT_EQ(koral::ProfileFolderOf("/home/anna/profils/a.pro"), "/home/anna/profils");
  EXPECT_EQ(koral::ProfileFolderOf("/a.pro"), "/");
  EXPECT_EQ(koral::ProfileFolderOf("a.pro"), "");
}

TEST(ProfileTransfer, AFolderAReadOnlyConfigIniRefusesIsToldAndTheTransferStillRuns) {
  koral::test::TestEnvironment env;
  env.SetSettingsImage(std::string(512, '\0'));
  const auto file = env.ComputerDir() / "p.pro";
  std::filesystem::permissions(env.ConfigIni(), std::filesystem::perms::owner_read);
  const auto saved = koral::SaveProfile(env.ConfigIni(), "119.0", env.PlayerDir().string(), file);
  EXPECT_EQ(saved.folderRemembered, koral::FileWriteStatus::kReadOnly);
  EXPECT_EQ(saved.pass, koral::ImagePassResult::kOk);
  EXPECT_TRUE(saved.profileWritten);
  const auto loaded = koral::LoadProfile(env.ConfigIni(), "119.0", env.PlayerDir().string(), file);
  EXPECT_EQ(loaded.folderRemembered, koral::FileWriteStatus::kReadOnly);
  EXPECT_EQ(loaded.pass, koral::ImagePassResult::kOk);

  std::filesystem::permissions(env.ConfigIni(), std::filesystem::perms::owner_all);
  EXPECT_EQ(koral::SaveProfile(env.ConfigIni(), "119.0", env.PlayerDir().string(), file).folderRemembered,
            koral::FileWriteStatus::kWritten);
}

TEST(ProfileTransfer, LoadWhoseBytesNeverReachThePlayerFails) {
  // A player that takes the writes but cannot store them past 100 bytes:
  // the loss shows only when the image is closed. The backup of the
  // 64-byte image still fits; the memory lies past the limit.
  koral::test::TestEnvironment env;
  const auto file = env.ComputerDir() / "p.pro";
  koral::test::WriteFile(file, "[radios]\r\na=28 156\r\n");
  env.SetSettingsImage(std::string(64, '\0'));
  const koral::test::FileSizeLimit limit(100);
  const auto result = koral::LoadProfile(env.ConfigIni(), "119.0", env.PlayerDir().string(), file);
  EXPECT_EQ(result.pass, koral::ImagePassResult::kTransferFailed);
}

}  // namespace
