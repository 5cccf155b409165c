// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/config/PrivateProfile.h"
#include "core/firmware/ProfileTransfer.h"
#include "core/settings/PlayerSettings.h"
#include "core/settings/RadioMemories.h"
#include "core/settings/SettingsFile.h"
#include "support/ReadOnlyMount.h"
#include "support/TestEnvironment.h"
#include "support/Undeletable.h"

namespace {

namespace fs = std::filesystem;
using koral::FileWriteStatus;
using koral::test::ReadFile;
using koral::test::WriteFile;

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

bool Remembered(const fs::path& ini) {
  for (const auto& unwritten : koral::UnwrittenProfileFiles())
    if (unwritten.file == ini && unwritten.status == FileWriteStatus::kReadOnly) return true;
  return false;
}

// The options of a read-only Config.ini are refused, the file left byte
// for byte and mode for mode, and the refusal kept for the exit message.
void ExpectOptionsRefused(const fs::path& ini) {
  const std::string before = ReadFile(ini);
  const mode_t mode = ModeOf(ini);
  EXPECT_EQ(koral::WritePrivateProfileString("repertoires", "pc", "/home/anna", ini), FileWriteStatus::kReadOnly);
  EXPECT_EQ(koral::WritePrivateProfileInt("copie", "win98", 1, ini), FileWriteStatus::kReadOnly);
  EXPECT_EQ(ReadFile(ini), before);
  EXPECT_EQ(ModeOf(ini), mode);
  EXPECT_TRUE(Remembered(ini));
  EXPECT_EQ(koral::test::EntryNames(ini.parent_path()).size(), 1u);  // no temporary left beside it
}

TEST(ReadOnlyConfigIni, ModeWithoutTheOwnersWriteBitIsNeverReplaced) {
  const koral::test::TempDir dir;
  const fs::path ini = dir / "Config.ini";
  WriteFile(ini, "[copie]\nwin98=0\n");
  chmod(ini.c_str(), 0444);  // root could write it: the mode alone says no
  ExpectOptionsRefused(ini);
  EXPECT_EQ(koral::UnwrittenOptionsText({ini, FileWriteStatus::kReadOnly}),
            "Les options n'ont pas pu être enregistrées : '" + ini.string() + "' est en lecture seule.");
}

TEST(ReadOnlyConfigIni, AnImmutableOneIsRefusedAndSaidSo) {
  const koral::test::TempDir dir;
  const fs::path ini = dir / "Config.ini";
  WriteFile(ini, "[copie]\nwin98=0\n");
  const koral::test::Undeletable immutable(ini);
  if (!immutable.Held()) GTEST_SKIP() << "the immutable flag cannot be set on this file system";
  ExpectOptionsRefused(ini);
}

TEST(ReadOnlyConfigIni, OneOnAReadOnlyMountIsRefused) {
  const koral::test::TempDir dir;
  fs::create_directory(dir / "config");
  const fs::path ini = dir / "config" / "Config.ini";
  WriteFile(ini, "[copie]\nwin98=0\n");
  const koral::test::ReadOnlyMount readOnly(dir / "config");
  if (!readOnly.Held()) GTEST_SKIP() << "nothing can be mounted here";
  ExpectOptionsRefused(ini);
}

TEST(ReadOnlyConfigIni, AWritableOneIsStillWrittenAndKeepsItsMode) {
  const koral::test::TempDir dir;
  const fs::path ini = dir / "Config.ini";
  WriteFile(ini, "[copie]\nwin98=0\n");
  chmod(ini.c_str(), 0640);
  EXPECT_EQ(koral::WritePrivateProfileInt("copie", "win98", 1, ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini), "[copie]\nwin98=1\n");
  EXPECT_EQ(ModeOf(ini), 0640u);
}

class WriteProtectedImage : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string image(512, '\0');
    image[256] = '\x1C';  // memory A: 105.5 MHz
    image[257] = '\x9C';
    image[258] = '\x01';
    m_env.SetSettingsImage(image);
    m_before = m_env.SettingsImageBytes();
  }

  // The image is read whole; every write says "read-only" and changes nothing.
  void ExpectReadableNotWritable() {
    koral::CSettingsFile file;
    file.Open(m_env.SettingsImage());
    ASSERT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.IsReadOnly());
    koral::CSettingsFile::Slots slots{};
    EXPECT_EQ(file.ReadBytes(slots, 3, 256), koral::CSettingsFile::kOk);
    EXPECT_EQ(slots, (koral::CSettingsFile::Slots{0x1C, 0x9C, 0x01}));
    EXPECT_EQ(file.WriteBytes({1, 2, 3}, 3, 0), koral::CSettingsFile::kReadOnly);
    file.Close();

    const auto layout = koral::ReadRadioLayout(m_env.ConfigIni(), "119.0");
    ASSERT_TRUE(layout);
    koral::RadioMemories memories;
    EXPECT_EQ(koral::ReadRadioMemories(m_env.SettingsImage(), *layout, memories), koral::ImagePassResult::kOk);
    memories[1] = 100.0;
    EXPECT_EQ(koral::WriteRadioMemories(m_env.SettingsImage(), *layout, memories), koral::ImagePassResult::kReadOnly);

    const auto profile = m_env.ComputerDir() / "p.pro";
    WriteFile(profile, "[radios]\r\na=40 160\r\n");
    const auto load = koral::LoadProfile(m_env.ConfigIni(), "119.0", m_env.PlayerDir().string(), profile);
    EXPECT_EQ(load.pass, koral::ImagePassResult::kReadOnly);
    EXPECT_EQ(m_env.SettingsImageBytes(), m_before);
  }

  koral::test::TestEnvironment m_env;
  std::string m_before;
};

TEST_F(WriteProtectedImage, AnImmutableImageIsReadAndNeverWritten) {
  const koral::test::Undeletable immutable(m_env.SettingsImage());
  if (!immutable.Held()) GTEST_SKIP() << "the immutable flag cannot be set on this file system";
  ExpectReadableNotWritable();
}

TEST_F(WriteProtectedImage, AnImageOnAReadOnlyMountIsReadAndNeverWritten) {
  const koral::test::ReadOnlyMount readOnly(m_env.PlayerDir());
  if (!readOnly.Held()) GTEST_SKIP() << "nothing can be mounted here";
  ExpectReadableNotWritable();
}

TEST_F(WriteProtectedImage, AMissingImageStillFailsToOpen) {
  fs::remove(m_env.SettingsImage());
  koral::CSettingsFile file;
  file.Open(m_env.SettingsImage());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.IsReadOnly());
}

}  // namespace
