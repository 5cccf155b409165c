// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "core/settings/SettingsFile.h"
#include "support/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using koral::CSettingsFile;
using koral::test::ReadFile;
using koral::test::TempDir;
using koral::test::WriteFile;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteFile(m_image, std::string("\x11\x22\x33\x44", 4)); }
  void Open() {
    m_file.Open(m_image);
    ASSERT_TRUE(m_file.IsOpen());
  }
  std::string Bytes() {
    m_file.Close();
    return ReadFile(m_image);
  }
  static mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
  }

  koral::test::TestEnvironment m_environment;  // backups go to its state folder
  fs::path m_image = m_environment.SettingsImage();
  CSettingsFile m_file;
};

TEST_F(SettingsFileTest, ReadFillsOnlyTheLowByteOfAtMostThreeSlots) {
  Open();
  CSettingsFile::Slots slots{0x7700, -1, 0x12345600};
  EXPECT_EQ(m_file.ReadBytes(slots, 5, 0), CSettingsFile::kOk);
  EXPECT_EQ(slots[0], 0x7711);
  EXPECT_EQ(slots[1], static_cast<int32_t>(0xFFFFFF22u));
  EXPECT_EQ(slots[2], 0x12345633);
  EXPECT_EQ(m_file.Position(), 3);  // the fourth byte was not read

  CSettingsFile::Slots untouched{7, 8, 9};
  EXPECT_EQ(m_file.ReadBytes(untouched, 0, 1), CSettingsFile::kReadCountInvalid);
  EXPECT_EQ(m_file.ReadBytes(untouched, -2, 1), CSettingsFile::kReadCountInvalid);
  EXPECT_EQ(untouched, (CSettingsFile::Slots{7, 8, 9}));
}

TEST_F(SettingsFileTest, ReadingPastTheEndLeavesTheSlotsAndSucceeds) {
  Open();
  CSettingsFile::Slots slots{0x100, 0x200, 0x300};
  EXPECT_EQ(m_file.ReadBytes(slots, 3, 3), CSettingsFile::kOk);
  EXPECT_EQ(slots, (CSettingsFile::Slots{0x144, 0x200, 0x300}));
  EXPECT_EQ(m_file.ReadBytes(slots, 3, 100), CSettingsFile::kOk);
  EXPECT_EQ(slots, (CSettingsFile::Slots{0x144, 0x200, 0x300}));
}

TEST_F(SettingsFileTest, WriteSendsOnlyTheLowByteAndCanExtendTheImage) {
  Open();
  EXPECT_EQ(m_file.WriteBytes({0x1FF, -3, 0x1234}, 5, 1), CSettingsFile::kOk);
  EXPECT_EQ(m_file.WriteBytes({1, 2, 3}, 0, 0), CSettingsFile::kWriteCountInvalid);
  EXPECT_EQ(m_file.WriteBytes({1, 2, 3}, -1, 0), CSettingsFile::kWriteCountInvalid);
  EXPECT_EQ(m_file.WriteBytes({0xAB, 0, 0}, 1, 6), CSettingsFile::kOk);
  EXPECT_EQ(Bytes(), std::string("\x11\xFF\xFD\x34\x00\x00\xAB", 7));
}

TEST_F(SettingsFileTest, AnOffsetThatCannotBeReachedTransfersNothing) {
  Open();
  CSettingsFile::Slots slots{5, 5, 5};
  EXPECT_EQ(m_file.ReadBytes(slots, 1, -4), CSettingsFile::kTellFailed);
  EXPECT_EQ(m_file.WriteBytes({0x55, 0, 0}, 1, -4), CSettingsFile::kTellFailed);
  EXPECT_EQ(slots, (CSettingsFile::Slots{5, 5, 5}));
  EXPECT_EQ(Bytes(), std::string("\x11\x22\x33\x44", 4));
}

TEST_F(SettingsFileTest, OpenNeverCreatesTheImage) {
  const fs::path missing = m_environment.PlayerDir() / "absent" / "Settings.dat";
  CSettingsFile file;
  file.Open(missing);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(fs::exists(missing));
  CSettingsFile::Slots slots{1, 2, 3};
  EXPECT_NE(file.ReadBytes(slots, 1, 0), CSettingsFile::kOk);  // a closed handle fails, no crash
  EXPECT_NE(file.WriteBytes(slots, 1, 0), CSettingsFile::kOk);
  EXPECT_TRUE(file.Close());
}

TEST_F(SettingsFileTest, AReadOnlyImageIsWrittenAndGetsItsModeBack) {
  chmod(m_image.c_str(), 0444);
  Open();
  EXPECT_EQ(ModeOf(m_image) & S_IWUSR, S_IWUSR);  // writable while open
  EXPECT_EQ(m_file.WriteBytes({0x99, 0, 0}, 1, 0), CSettingsFile::kOk);
  EXPECT_TRUE(m_file.Close());
  EXPECT_EQ(ModeOf(m_image), 0444u);
  EXPECT_EQ(ReadFile(m_image)[0], '\x99');
}

TEST_F(SettingsFileTest, AFailedOpenPutsTheModeBack) {
  const fs::path folder = m_environment.PlayerDir() / "folder.dat";  // exists, cannot be opened as a file
  fs::create_directory(folder);
  chmod(folder.c_str(), 0555);
  CSettingsFile file;
  file.Open(folder);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ModeOf(folder), 0555u);
}

}  // namespace
