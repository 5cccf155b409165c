#include <algorithm>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "settings/ImageBackup.h"
#include "settings/SettingsFile.h"

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
  reader.ReadBytes(slots, 1, 0);
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
  ASSERT_EQ(names.size(), 21u);  // 20 copies and the foreign file
  EXPECT_EQ(names[0], "Settings-20000107-000000-000Z-0.dat");  // the six oldest went
  EXPECT_EQ(ReadFile(koral::ImageBackupFolder() / names[19]), "image");
  EXPECT_EQ(names[20], "notes.txt");
}

}  // namespace
