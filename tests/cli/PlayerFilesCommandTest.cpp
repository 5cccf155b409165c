// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/ScopedMount.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::WriteFile;

namespace {

class PlayerFilesCommandTest : public ::testing::Test {
 protected:
  PlayerFilesCommandTest() { koral::SetVolumeSourceForTesting(&m_volumes); }
  ~PlayerFilesCommandTest() override { koral::SetVolumeSourceForTesting(nullptr); }

  int Run(const std::vector<std::string>& arguments) {
    const koral::test::KoralctlResult result = koral::test::Koralctl(arguments);
    m_err = result.err;
    return result.status;
  }

  fs::path Player() const { return m_env.PlayerDir(); }
  fs::path Outside() const { return m_env.ComputerDir(); }

  std::vector<std::string> PlayerEntries() const { return koral::test::EntryNames(Player()); }

  koral::test::TestEnvironment m_env;
  koral::FixedVolumeSource m_volumes{{}};
  std::string m_err;
};

}  // namespace

TEST_F(PlayerFilesCommandTest, RmDeletesFilesFoldersAndLinksButNotTheirTargets) {
  for (const char* name : {"Settings.dat", "a.mp3", ".hidden", "Album/Disc/track.mp3"}) WriteFile(Player() / name, "x");
  fs::permissions(Player() / "a.mp3", fs::perms::owner_read);
  WriteFile(Outside() / "Albums/song.mp3", "precious");
  fs::create_directory_symlink(Outside() / "Albums", Player() / "link");
  fs::create_directory_symlink(Outside() / "Albums", Player() / "slashedLink");

  EXPECT_EQ(Run({"rm", "a.mp3", ".hidden", "Album/", "link", "slashedLink/"}), 0) << m_err;

  EXPECT_EQ(PlayerEntries(), std::vector<std::string>{"Settings.dat"});
  EXPECT_EQ(koral::test::ReadFile(Outside() / "Albums/song.mp3"), "precious");
}

TEST_F(PlayerFilesCommandTest, RmRefusesWhatIsNotOnThePlayer) {
  WriteFile(Outside() / "victim.mp3", "x");
  WriteFile(Player() / "Sub/song.mp3", "x");
  fs::create_directory_symlink(Outside(), Player() / "escape");
  const std::string victim = (Outside() / "victim.mp3").string();

  for (const std::string& path : {std::string("../computer/victim.mp3"), victim, std::string("escape/victim.mp3"),
                                  std::string(".."), std::string("."), std::string(""), std::string("Sub/..")}) {
    EXPECT_EQ(Run({"rm", path}), 1) << path;
    EXPECT_NE(m_err.find("n'est pas sur l'Koral"), std::string::npos) << m_err;
  }
  EXPECT_EQ(Run({"rm", "absent.mp3"}), 1);
  EXPECT_NE(m_err.find("n'existe pas"), std::string::npos) << m_err;
  EXPECT_EQ(Run({"rm", std::string(300, 'a') + ".mp3"}), 1);
  EXPECT_NE(m_err.find("nom trop long"), std::string::npos) << m_err;
  EXPECT_EQ(m_err.find("n'existe pas"), std::string::npos) << m_err;

  EXPECT_TRUE(fs::exists(Outside() / "victim.mp3"));
  EXPECT_TRUE(fs::exists(Player() / "Sub/song.mp3"));
  EXPECT_EQ(Run({"rm"}), 2);
}

TEST_F(PlayerFilesCommandTest, EmptyKeepsTheRootsDatAndIniFiles) {
  EXPECT_EQ(Run({"empty"}), 0);
  EXPECT_NE(m_err.find("L'Koral est vide !"), std::string::npos);

  for (const char* name : {"Settings.dat", "Config.INI", "a.mp3", "x.dat/inner.txt", "Musique/keep.ini"})
    WriteFile(Player() / name, "x");
  EXPECT_EQ(Run({"empty"}), 0) << m_err;
  EXPECT_EQ(PlayerEntries(), (std::vector<std::string>{"Config.INI", "Settings.dat"}));
  EXPECT_EQ(Run({"empty", "now"}), 2);
}

TEST_F(PlayerFilesCommandTest, EmptyAndRmLeaveAVolumeMountedInsideThePlayerWhole) {
  fs::create_directories(Player() / "Card");
  WriteFile(Player() / "a.mp3", "x");
  const koral::test::ScopedMount card(Player() / "Card", "size=64k");
  if (!card.Held()) GTEST_SKIP() << "nothing can be mounted here";
  WriteFile(Player() / "Card" / "kept.mp3", "on the card");

  EXPECT_EQ(Run({"empty"}), 1);
  EXPECT_EQ(m_err, "'" + (Player() / "Card").string() +
                       "' est un autre volume monté dans l'Koral : rien n'y a été supprimé.\n");
  EXPECT_EQ(Run({"rm", "Card"}), 1);
  EXPECT_EQ(koral::test::ReadFile(Player() / "Card" / "kept.mp3"), "on the card");
  EXPECT_FALSE(fs::exists(Player() / "a.mp3"));
}

TEST_F(PlayerFilesCommandTest, MkdirCreatesOneFolderInsideThePlayer) {
  fs::create_directory_symlink(Outside(), Player() / "escape");
  fs::create_directory_symlink(Outside() / "escaped", Player() / "dangling");

  EXPECT_EQ(Run({"mkdir", "Musique"}), 0) << m_err;
  EXPECT_EQ(Run({"mkdir", "Musique/Rock"}), 0) << m_err;
  EXPECT_EQ(Run({"mkdir", "Musique\\Jazz"}), 0) << m_err;
  EXPECT_TRUE(fs::is_directory(Player() / "Musique/Rock"));
  EXPECT_TRUE(fs::is_directory(Player() / "Musique/Jazz"));

  for (const std::string& name :
       {std::string("Musique"), std::string("Absent/Rock"), std::string(""), std::string("../escaped"),
        (Outside() / "escaped").string(), std::string("escape/escaped"), std::string("..\\escaped"),
        std::string("escape\\escaped"), std::string("dangling"), std::string("dangling/inner"),
        std::string("Tab\tname"), std::string("a?b")}) {
    EXPECT_EQ(Run({"mkdir", name}), 1) << name;
    EXPECT_NE(m_err.find("Création du répertoire impossible"), std::string::npos) << m_err;
  }
  EXPECT_TRUE(fs::is_empty(Outside()));
  EXPECT_FALSE(fs::exists(Player().parent_path() / "escaped"));
  EXPECT_EQ(Run({"mkdir"}), 2);
  EXPECT_EQ(Run({"mkdir", "a", "b"}), 2);
}

TEST_F(PlayerFilesCommandTest, NothingRunsWithoutAPlayer) {
  m_env.ForgetPlayer();
  WriteFile(Player() / "a.mp3", "x");

  EXPECT_EQ(Run({"rm", "a.mp3"}), 1);
  EXPECT_EQ(Run({"empty"}), 1);
  EXPECT_EQ(Run({"mkdir", "koral-test-never-created"}), 1);
  EXPECT_NE(m_err.find("L'Koral n'a pas été détecté."), std::string::npos) << m_err;

  EXPECT_TRUE(fs::exists(Player() / "a.mp3"));
  EXPECT_FALSE(fs::exists("/koral-test-never-created"));
}
