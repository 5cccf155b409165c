// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/ImageBackup.h"
#include "core/settings/SettingsFile.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using koral::CSettingsFile;
using koral::test::ReadFile;
using koral::test::WriteFile;

std::vector<std::string> BackupNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(koral::ImageBackupFolder(), error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void WriteOneByte(const fs::path& image, int value) {
  CSettingsFile file;
  file.Open(image);
  ASSERT_TRUE(file.IsOpen());
  ASSERT_EQ(file.WriteBytes({value, 0, 0}, 1, 0), CSettingsFile::kOk);
  ASSERT_TRUE(file.Close());
}

TEST(ImageBackupTest, TheFirstWriteOfARunKeepsOneCopyOfTheImageAsItWas) {
  koral::test::TestEnvironment environment;
  environment.SetSettingsImage("before");
  CSettingsFile reader;  // reading alone keeps no copy
  reader.Open(environment.SettingsImage());
  CSettingsFile::Slots slots{};
  ASSERT_EQ(reader.ReadBytes(slots, 1, 0), CSettingsFile::kOk);
  reader.Close();
  EXPECT_TRUE(BackupNames().empty());

  WriteOneByte(environment.SettingsImage(), 'B');
  WriteOneByte(environment.SettingsImage(), 'C');
  const auto names = BackupNames();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].rfind("Settings-", 0), 0u);
  EXPECT_EQ(ReadFile(koral::ImageBackupFolder() / names[0]), "before");
  EXPECT_EQ(environment.SettingsImageBytes(), "Cefore");
}

TEST(ImageBackupTest, OnlyTheNewestTwentyCopiesAreKept) {
  koral::test::TestEnvironment environment;
  environment.SetSettingsImage("image");
  for (int day = 1; day <= 25; ++day) {
    char name[64];
    std::snprintf(name, sizeof name, "Settings-200001%02d-000000-000Z-0.dat", day);
    WriteFile(koral::ImageBackupFolder() / name, "old");
  }
  WriteFile(koral::ImageBackupFolder() / "notes.txt", "not a backup");

  WriteOneByte(environment.SettingsImage(), 'I');
  const auto names = BackupNames();
  ASSERT_EQ(names.size(), 21u);                                // 20 copies and the foreign file
  EXPECT_EQ(names[0], "Settings-20000107-000000-000Z-0.dat");  // the six oldest went
  EXPECT_EQ(ReadFile(koral::ImageBackupFolder() / names[19]), "image");
  EXPECT_EQ(names[20], "notes.txt");
}

int WriteOneByteStatus(const fs::path& image, int value) {
  CSettingsFile file;
  file.Open(image);
  const int status = file.WriteBytes({value, 0, 0}, 1, 0);
  file.Close();
  return status;
}

TEST(ImageBackupTest, NoWriteGoesAheadWhenTheBackupFolderCannotBeMade) {
  koral::test::TestEnvironment environment;
  environment.SetSettingsImage("before");
  environment.BlockBackupFolder();
  CSettingsFile file;
  file.Open(environment.SettingsImage());
  EXPECT_EQ(file.WriteBytes({'X', 0, 0}, 1, 0), CSettingsFile::kBackupFailed);
  EXPECT_TRUE(file.BackupFailed());
  EXPECT_EQ(file.WriteBytes({'Y', 0, 0}, 1, 1), CSettingsFile::kBackupFailed);  // nor any later one of the pass
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(environment.SettingsImageBytes(), "before");
  EXPECT_NE(koral::BackupRefusedMessage().find(koral::ImageBackupFolder().string()), std::string::npos);

  // Once the folder can be made, the next pass backs up and writes.
  fs::remove(environment.StateDir() / "koral-config");
  WriteOneByte(environment.SettingsImage(), 'B');
  ASSERT_EQ(BackupNames().size(), 1u);
  EXPECT_EQ(ReadFile(koral::ImageBackupFolder() / BackupNames()[0]), "before");
  EXPECT_EQ(environment.SettingsImageBytes(), "Before");
}

TEST(ImageBackupTest, ABackupCutShortByAFullDiskIsNeitherKeptNorFollowedByTheWrite) {
  koral::test::TestEnvironment environment;
  const std::string image(512, 'i');
  environment.SetSettingsImage(image);
  fs::create_directories(koral::ImageBackupFolder());
  for (const rlim_t room : {rlim_t{0}, rlim_t{300}}) {  // nothing at all, then part of the image
    {
      const koral::test::FileSizeLimit limit(room);
      EXPECT_EQ(WriteOneByteStatus(environment.SettingsImage(), 'X'), CSettingsFile::kBackupFailed);
    }
    EXPECT_EQ(environment.SettingsImageBytes(), image);
    EXPECT_TRUE(BackupNames().empty());  // no cut-off copy, no temporary file
  }
}

TEST(ImageBackupTest, EmptyCopiesNeverCountAmongTheKeptOnes) {
  koral::test::TestEnvironment environment;
  for (int day = 1; day <= 20; ++day) {
    char name[64];
    std::snprintf(name, sizeof name, "Settings-200001%02d-000000-000Z-0.dat", day);
    WriteFile(koral::ImageBackupFolder() / name, day == 20 ? "" : "old");
  }
  WriteFile(koral::ImageBackupFolder() / "Settings-20000121-000000-000Z-0.dat.Ab12Cd", "temporary");
  environment.SetSettingsImage("image");
  WriteOneByte(environment.SettingsImage(), 'I');
  const auto names = BackupNames();
  ASSERT_EQ(names.size(), 21u);  // 19 old copies, the new one, the temporary file
  EXPECT_EQ(names[0], "Settings-20000101-000000-000Z-0.dat");
  EXPECT_EQ(std::count(names.begin(), names.end(), "Settings-20000120-000000-000Z-0.dat"), 0);

  // An empty image has nothing to keep: its write goes ahead without a copy.
  koral::ResetImageBackupsForTesting();
  environment.SetSettingsImage("");
  WriteOneByte(environment.SettingsImage(), 'E');
  EXPECT_EQ(BackupNames().size(), 21u);
  EXPECT_EQ(environment.SettingsImageBytes(), "E");
}

}  // namespace
