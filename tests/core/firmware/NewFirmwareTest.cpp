// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/firmware/NewFirmware.h"

#include <gtest/gtest.h>

#include "core/config/PrivateProfile.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/settings/EqualiserImage.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::ReadFile;
using test::WriteFile;

// The defaults of an installation, before and after an upgrade that adds
// firmware 120.1 and moves one offset of 119.0.
const std::string kBefore = ReadFile(test::SourceResourceDir() / "Config.ini");

std::string UpgradedDefaults() {
  std::string after = *SetProfileValue(kBefore, "firmware", "versionsdispo", "120.1 119.0 118.2");
  after = *SetProfileValue(after, "119.0", "offsetab", "36");
  for (const auto& [key, value] : ProfileSectionEntries(kBefore, "119.0"))
    after = *SetProfileValue(after, "120.1", key, value == "64" ? "80" : value);
  return after;
}
const std::string kAfter = UpgradedDefaults();

class NewFirmwareTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::filesystem::path defaults = dir / "defaults/Config.ini";
  std::filesystem::path user = dir / "user/Config.ini";

  void SetUp() override {
    WriteFile(defaults, kAfter);
    // The user's file, seeded before the upgrade and used since.
    std::string seeded = *SetProfileValue(kBefore, "firmware", "version", "118.2");
    seeded = *SetProfileValue(seeded, "118.2", "offsetab", "99");
    WriteFile(user, *SetProfileValue(seeded, "radio", "ville", "Orléans"));
  }
};

TEST_F(NewFirmwareTest, AnUpgradeAddsTheNewVersionAndKeepsEveryKeyTheUserHas) {
  ASSERT_TRUE(AddNewFirmware(defaults, user));
  EXPECT_EQ(ReadVersionList(user), (std::vector<std::string>{"118.2", "119.0", "120.1"}));
  EXPECT_EQ(ProfileSectionEntries(ReadFile(user), "120.1"), ProfileSectionEntries(kAfter, "120.1"));
  EXPECT_EQ(GetPrivateProfileInt("120.1", "offseteq", user), 80);
  // What the user had stays as it was, a changed default included.
  EXPECT_EQ(GetPrivateProfileString("firmware", "version", "", user), "118.2");
  EXPECT_EQ(GetPrivateProfileInt("118.2", "offsetab", user), 99);
  EXPECT_EQ(GetPrivateProfileInt("119.0", "offsetab", user), 35);
  EXPECT_EQ(GetPrivateProfileString("radio", "ville", "", user), "Orléans");
}

TEST_F(NewFirmwareTest, TheSameDefaultsAgainChangeNothing) {
  ASSERT_TRUE(AddNewFirmware(defaults, user));
  const std::string once = ReadFile(user);
  ASSERT_TRUE(AddNewFirmware(defaults, user));
  EXPECT_EQ(ReadFile(user), once);
  EXPECT_TRUE(MergeNewFirmware(kBefore, kBefore).AddedNothing());
  EXPECT_EQ(MergeNewFirmware(kBefore, kBefore).bytes, kBefore);
}

TEST_F(NewFirmwareTest, TheNewSectionIsReadableByThePagesAndSetApart) {
  ASSERT_TRUE(AddNewFirmware(defaults, user));
  EXPECT_TRUE(ReadEqualiserLayout(user, "120.1").IsComplete());
  EXPECT_NE(ReadFile(user).find("\n\n[120.1]\n"), std::string::npos);
}

TEST(NewFirmware, AListedVersionAndItsSectionAreAddedEachWhenMissing) {
  const std::string defaults = "[firmware]\nversionsdispo=1 2\n[1]\noffseteq=1\n[2]\noffseteq=2\n";
  // The section without the entry, then the entry without the section.
  const FirmwareMerge noEntry = MergeNewFirmware(defaults, "[firmware]\nversionsdispo=1\n[1]\n[2]\noffseteq=7\n");
  EXPECT_TRUE(noEntry.sections.empty());
  EXPECT_EQ(noEntry.versions, std::vector<std::string>{"2"});
  EXPECT_EQ(FindProfileValue(noEntry.bytes, "2", "offseteq"), "7");
  const FirmwareMerge noSection = MergeNewFirmware(defaults, "[firmware]\nversionsdispo=2 1\n[1]\noffseteq=1\n");
  EXPECT_EQ(noSection.sections, std::vector<std::string>{"2"});
  EXPECT_TRUE(noSection.versions.empty());
  EXPECT_EQ(FindProfileValue(noSection.bytes, "firmware", "versionsdispo"), "2 1");
}

TEST(NewFirmware, NamesMatchWithoutRegardToCaseAndTheListStaysSingleSpaced) {
  const std::string defaults = "[firmware]\nversionsdispo=v1 v2  v3\n[V1]\na=1\n[v2]\na=2\n[v3]\na=3\n";
  const FirmwareMerge merge = MergeNewFirmware(defaults, "[FIRMWARE]\nVERSIONSDISPO=V1 \n[v1]\na=9\n");
  EXPECT_EQ(merge.sections, (std::vector<std::string>{"v2", "v3"}));
  EXPECT_EQ(FindProfileValue(merge.bytes, "firmware", "versionsdispo"), "V1 v2 v3");
  EXPECT_EQ(SplitAvailableVersions(*FindProfileValue(merge.bytes, "firmware", "versionsdispo")),
            (std::vector<std::string>{"V1", "v2", "v3"}));
  EXPECT_EQ(FindProfileValue(merge.bytes, "v1", "a"), "9");
}

TEST(NewFirmware, AWindows1252FileKeepsReadingAsItDid) {
  const std::string user =
      "[radio]\r\nville=Orl\xE9"
      "ans\r\n[firmware]\r\nversionsdispo=1\r\n";
  const FirmwareMerge merge = MergeNewFirmware("[firmware]\nversionsdispo=1 2\n[2]\nnom=Été\n", user);
  EXPECT_EQ(FindProfileValue(merge.bytes, "radio", "ville"), "Orléans");
  EXPECT_EQ(FindProfileValue(merge.bytes, "2", "nom"), "Été");
  EXPECT_EQ(merge.bytes.find('\n'), merge.bytes.find("\r\n") + 1);  // its line endings kept
}

TEST_F(NewFirmwareTest, MissingFilesAreLeftAlone) {
  std::filesystem::remove(user);
  EXPECT_TRUE(AddNewFirmware(defaults, user));
  EXPECT_FALSE(std::filesystem::exists(user));
  WriteFile(user, kBefore);
  EXPECT_TRUE(AddNewFirmware(dir / "none/Config.ini", user));
  EXPECT_EQ(ReadFile(user), kBefore);
}

}  // namespace
}  // namespace koral
