#include <gtest/gtest.h>

#include "TestEnvironment.h"
#include "firmware/FirmwareVersions.h"
#include "firmware/Profile.h"
#include "firmware/ProfileTransfer.h"

namespace {

using Strings = std::vector<std::string>;

TEST(FirmwareVersions, CutAtEverySingleSpace) {
  EXPECT_EQ(koral::SplitAvailableVersions("119.0 118.2"), (Strings{"119.0", "118.2"}));
  EXPECT_EQ(koral::SplitAvailableVersions("119.0  118.2"), (Strings{"119.0", "", "118.2"}));
  EXPECT_EQ(koral::SplitAvailableVersions(" 119.0 "), (Strings{"", "119.0"}));
  EXPECT_EQ(koral::SplitAvailableVersions(""), Strings{});
  EXPECT_EQ(koral::SplitAvailableVersions("a-firmware-name-of-many-characters"),
            Strings{"a-firmware-name-of-many-characters"});
}

TEST(FirmwareVersions, PrefixSearchStartsAtTheSecondEntryAndWraps) {
  const Strings entries{"118.2", "119.0", "119.01"};
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "119.0"), 1u);
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "119"), 1u);
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "118"), 0u);  // wrapped round
  EXPECT_EQ(koral::FindCurrentVersionEntry(entries, "120"), std::nullopt);
  EXPECT_EQ(koral::FindCurrentVersionEntry(Strings{"Beta", "beta2"}, "BETA"), 0u);
  EXPECT_EQ(koral::FindCurrentVersionEntry(Strings{}, ""), std::nullopt);
}

TEST(ProfileValues, OnlyNumbersFrom0To255SeparatedBySingleSpaces) {
  EXPECT_EQ(koral::ParseProfileBytes("28 156", 2), (std::vector<uint8_t>{28, 156}));
  EXPECT_EQ(koral::ParseProfileBytes("0 255", 2), (std::vector<uint8_t>{0, 255}));
  for (const char* damaged : {"28", "28 156 1", "28  156", "28 156 ", "28 256", "-1 5", "+1 5", "1x 5", "1,5 2", " "})
    EXPECT_EQ(koral::ParseProfileBytes(damaged, 2), std::nullopt) << damaged;
}

TEST(ProfileFile, ReadsBackWhatItWrites) {
  koral::test::TempDir folder;
  koral::Profile profile;
  profile.radios[0] = koral::ProfileRadio{0, 119};
  profile.radios[19] = koral::ProfileRadio{28, 156};
  profile.perso = koral::ProfilePerso{3, 0, 0, 254, 255, 255, 0, 0, 0, 5, 0, 0, 244, 255, 255};
  koral::test::WriteFile(folder / "p.pro", koral::FormatProfile(profile));
  const auto reading = koral::ReadProfile(folder / "p.pro");
  EXPECT_TRUE(reading.issues.empty());
  EXPECT_EQ(reading.profile.radios, profile.radios);
  EXPECT_EQ(reading.profile.perso, profile.perso);

  const auto missing = koral::ReadProfile(folder / "none.pro");
  ASSERT_EQ(missing.issues.size(), 1u);
  EXPECT_EQ(missing.issues[0].kind, koral::ProfileIssue::Kind::kUnreadableProfile);
}

TEST(ProfileFile, FolderRememberedForTheFileDialogs) {
  EXPECT_EQ(koral::ProfileFolderOf("/home/anna/profils/a.pro"), "/home/anna/profils");
  EXPECT_EQ(koral::ProfileFolderOf("/a.pro"), "/");
  EXPECT_EQ(koral::ProfileFolderOf("a.pro"), "");
}

}  // namespace
