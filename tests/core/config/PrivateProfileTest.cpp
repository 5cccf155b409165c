// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/PrivateProfile.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class PrivateProfileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path ini = dir / "Config.ini";
};

TEST_F(PrivateProfileTest, ReadsSectionsAndKeysWithoutRegardToCaseAndTrimsValues) {
  WriteFile(ini, "[FIRMWARE]\r\nVERSION =  119.0  \r\n[copie]\r\ntrackonly= 1 \r\n");
  EXPECT_EQ(GetPrivateProfileString("firmware", "version", "x", ini), "119.0");
  EXPECT_EQ(GetPrivateProfileInt("Copie", "TrackOnly", ini), 1);
}

TEST_F(PrivateProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(GetPrivateProfileString("a", "b", "défaut", ini), "défaut");
  WriteFile(ini, "[a]\nc=1\n");
  EXPECT_EQ(GetPrivateProfileString("a", "b", "d", ini), "d");
  EXPECT_EQ(GetPrivateProfileString("z", "c", "d", ini), "d");
  EXPECT_FALSE(FindPrivateProfileString("a", "b", ini).has_value());
  EXPECT_EQ(GetPrivateProfileInt("a", "b", ini), 0);
}

TEST_F(PrivateProfileTest, NumbersReadAsAtoiReadsThem) {
  EXPECT_EQ(Atoi(" 1 "), 1);
  EXPECT_EQ(Atoi("0x10"), 0);
  EXPECT_EQ(Atoi("-12abc"), -12);
  EXPECT_EQ(Atoi("+7"), 7);
  EXPECT_EQ(Atoi(""), 0);
  EXPECT_EQ(Atoi("abc"), 0);
  EXPECT_EQ(Atoi("99999999999"), 2147483647);
}

TEST_F(PrivateProfileTest, ReplacingAValueKeepsEveryOtherByte) {
  const std::string before = "; comment\r\n[copie]\r\nsuivrem3u=0\r\ntrackonly = 0\r\n\r\n[autre]\r\nx=y\r\n";
  WriteFile(ini, before);
  ASSERT_EQ(WritePrivateProfileInt("COPIE", "TRACKONLY", -1, ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini), "; comment\r\n[copie]\r\nsuivrem3u=0\r\ntrackonly=-1\r\n\r\n[autre]\r\nx=y\r\n");
}

TEST_F(PrivateProfileTest, MissingKeyGoesAtTheEndOfItsSectionAndMissingSectionIsAppended) {
  WriteFile(ini, "[copie]\nwin98=1\n\n[radio]\nville=Paris");
  ASSERT_EQ(WritePrivateProfileString("copie", "trackonly", "0", ini), FileWriteStatus::kWritten);
  ASSERT_EQ(WritePrivateProfileString("repertoires", "pc", "/home/anna/Musique", ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini),
            "[copie]\nwin98=1\ntrackonly=0\n\n[radio]\nville=Paris\n[repertoires]\npc=/home/anna/Musique\n");
}

TEST_F(PrivateProfileTest, MissingFileIsCreated) {
  ASSERT_EQ(WritePrivateProfileString("repertoires", "pc", "", ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini), "[repertoires]\npc=\n");
  EXPECT_EQ(GetPrivateProfileString("repertoires", "pc", "x", ini), "");
}

TEST_F(PrivateProfileTest, Windows1252FilesAreDecodedAndStayWindows1252) {
  WriteFile(ini,
            "[radio]\r\nville=Orl\xE9"
            "ans\r\n");
  EXPECT_EQ(GetPrivateProfileString("radio", "ville", "", ini), "Orléans");
  ASSERT_EQ(WritePrivateProfileString("radio", "ville", "Besançon", ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini), "[radio]\r\nville=Besan\xE7on\r\n");
}

TEST_F(PrivateProfileTest, AValueWindows1252CannotHoldTurnsTheFileToUtf8) {
  WriteFile(ini,
            "[radio]\r\nville=Orl\xE9"
            "ans\r\n");
  ASSERT_EQ(WritePrivateProfileString("repertoires", "pc", "/home/anna/Złoto", ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini), "[radio]\r\nville=Orléans\r\n[repertoires]\r\npc=/home/anna/Złoto\r\n");
  EXPECT_EQ(GetPrivateProfileString("repertoires", "pc", "", ini), "/home/anna/Złoto");
  EXPECT_EQ(GetPrivateProfileString("radio", "ville", "", ini), "Orléans");
}

TEST_F(PrivateProfileTest, AWriteNeverChangesHowTheOtherValuesRead) {
  // Windows-1252 whose only byte that is not UTF-8 is in "ville"; "Ã©" is
  // C3 A9 there, which alone would read as UTF-8 "é".
  const std::string latin =
      "[radio]\r\nville=Orl\xE9"
      "ans\r\n[profil]\r\nnom=\xC3\xA9t\xC3\xA9\r\n";
  WriteFile(ini, latin);
  ASSERT_EQ(GetPrivateProfileString("profil", "nom", "", ini), "Ã©tÃ©");
  for (const char* value : {"Paris", "Ã©"}) {
    WriteFile(ini, latin);
    ASSERT_EQ(WritePrivateProfileString("radio", "ville", value, ini), FileWriteStatus::kWritten);
    EXPECT_EQ(GetPrivateProfileString("radio", "ville", "", ini), value);
    EXPECT_EQ(GetPrivateProfileString("profil", "nom", "", ini), "Ã©tÃ©");
  }
}

TEST_F(PrivateProfileTest, AValueThatIsNotUtf8IsRefusedAndTheFileKept) {
  const std::string before = "[radio]\nville=Besançon\n";
  WriteFile(ini, before);
  EXPECT_EQ(WritePrivateProfileString("repertoires", "pc", "/home/anna/\xE9t\xE9", ini), FileWriteStatus::kFailed);
  EXPECT_EQ(ReadFile(ini), before);
  WriteFile(ini, "[radio]\nville=Besan\xE7on\n");
  EXPECT_EQ(WritePrivateProfileString("radio", "ville", "\xE9t\xE9", ini), FileWriteStatus::kFailed);
  EXPECT_EQ(GetPrivateProfileString("radio", "ville", "", ini), "Besançon");
}

TEST_F(PrivateProfileTest, AWriteGoesThroughALinkAndKeepsIt) {
  WriteFile(dir / "dotfiles" / "Config.ini", "[copie]\nwin98=0\n");
  std::filesystem::create_symlink(dir / "dotfiles" / "Config.ini", ini);
  ASSERT_EQ(WritePrivateProfileInt("copie", "win98", 1, ini), FileWriteStatus::kWritten);
  EXPECT_TRUE(std::filesystem::is_symlink(ini));
  EXPECT_EQ(ReadFile(dir / "dotfiles" / "Config.ini"), "[copie]\nwin98=1\n");
}

TEST_F(PrivateProfileTest, LongValuesAreKeptWhole) {
  const std::string folder = "/" + std::string(3000, 'a');
  ASSERT_EQ(WritePrivateProfileString("repertoires", "pc", folder, ini), FileWriteStatus::kWritten);
  EXPECT_EQ(GetPrivateProfileString("repertoires", "pc", "", ini), folder);
}

TEST_F(PrivateProfileTest, AByteOrderMarkHidesNoSectionAndIsKept) {
  WriteFile(ini, "\xEF\xBB\xBF[firmware]\nversion=119.0\n");
  EXPECT_EQ(GetPrivateProfileString("firmware", "version", "", ini), "119.0");
  ASSERT_EQ(WritePrivateProfileString("firmware", "version", "118.2", ini), FileWriteStatus::kWritten);
  EXPECT_EQ(ReadFile(ini), "\xEF\xBB\xBF[firmware]\nversion=118.2\n");
}

TEST_F(PrivateProfileTest, AValueWithALineBreakIsRefusedAndTheFileKept) {
  WriteFile(ini, "[repertoires]\npc=/home\n[firmware]\nversion=119.0\n");
  EXPECT_EQ(WritePrivateProfileString("repertoires", "pc", "/tmp/x\n[firmware]\nversion=0", ini),
            FileWriteStatus::kFailed);
  EXPECT_EQ(WritePrivateProfileString("repertoires", "pc", "/tmp/x\r", ini), FileWriteStatus::kFailed);
  EXPECT_EQ(ReadFile(ini), "[repertoires]\npc=/home\n[firmware]\nversion=119.0\n");
}

TEST_F(PrivateProfileTest, SectionsAndTheirEntriesAreListedAsTheReadsSeeThem) {
  const std::string bytes = "; comment\n[a]\nx = 1\nnoise\nX=2\ny=\n[B]\nz=3\n[A]\nx=4\nw=5\n[\xC9t\xE9]\n\xE9=\xE0\n";
  EXPECT_EQ(ProfileSectionNames(bytes), (std::vector<std::string>{"a", "B", "Été"}));
  // The first spelling of a section and of a key is the one read.
  EXPECT_EQ(ProfileSectionEntries(bytes, "A"), (ProfileEntries{{"x", "1"}, {"y", ""}}));
  EXPECT_EQ(ProfileSectionEntries(bytes, "Été"), (ProfileEntries{{"é", "à"}}));
  EXPECT_TRUE(ProfileSectionEntries(bytes, "c").empty());
}

TEST_F(PrivateProfileTest, AWriteToAnUnwritableFolderFailsAndLeavesNoTemporaryFile) {
  EXPECT_EQ(WritePrivateProfileString("a", "b", "c", dir / "missing-folder" / "Config.ini"), FileWriteStatus::kFailed);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace koral
