// SPDX-License-Identifier: GPL-3.0-or-later
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/ImageBackup.h"
#include "support/FileSizeLimit.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

using koral::test::Koralctl;
using Arguments = std::vector<std::string>;

// Every command that writes the settings image, and one that only reads it.
class SettingsWriteBackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_image = std::string(512, '\x11');
    m_environment.SetSettingsImage(m_image);
    koral::test::WriteFile(Profile(),
                           "[radios]\r\na=28 156\r\n\r\n[equaliser]\r\nperso=1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\r\n");
  }
  std::string Profile() const { return (m_environment.ComputerDir() / "p.pro").string(); }
  std::vector<Arguments> Writers() const {
    return {{"eq", "set", "3", "1", "2", "3", "4", "5"},
            {"eq", "select", "2"},
            {"radio", "set", "A", "90.1"},
            {"settings", "set", "repeat", "1"},
            {"profile", "load", Profile()}};
  }
  void ExpectRefused(const Arguments& arguments) const {
    const auto run = Koralctl(arguments);
    EXPECT_EQ(run.status, 1) << arguments[0];
    EXPECT_NE(run.err.find(koral::ImageBackupFolder().string()), std::string::npos) << run.err;
    EXPECT_EQ(m_environment.SettingsImageBytes(), m_image) << arguments[0];
  }

  koral::test::TestEnvironment m_environment;
  std::string m_image;
};

TEST_F(SettingsWriteBackupTest, NoWriteGoesAheadWhenTheBackupFolderCannotBeMade) {
  m_environment.BlockBackupFolder();
  for (const Arguments& arguments : Writers()) ExpectRefused(arguments);
  // Reading needs no backup.
  EXPECT_EQ(Koralctl({"radio", "show"}).status, 0);
  EXPECT_EQ(Koralctl({"profile", "save", (m_environment.ComputerDir() / "saved.pro").string()}).status, 0);
}

TEST_F(SettingsWriteBackupTest, NoWriteGoesAheadWhenTheBackupIsCutShort) {
  const koral::test::FileSizeLimit limit(300);  // the disk takes 300 of the image's 512 bytes
  for (const Arguments& arguments : Writers()) ExpectRefused(arguments);
  EXPECT_TRUE(koral::test::EntryNames(koral::ImageBackupFolder()).empty());
}

}  // namespace
