// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>

#include "support/KoralctlRun.h"
#include "support/ScopedMount.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::Koralctl;
using koral::test::KoralctlResult;
using koral::test::ReadFile;
using koral::test::WriteFile;

namespace {

// A folder of the computer bound inside the player: same device, another
// mount. Whatever koralctl does, the outside folder keeps what it held.
class PlayerWritesTest : public ::testing::Test {
 protected:
  PlayerWritesTest() {
    WriteFile(Outside() / "victim.txt", "precious");
    fs::create_directories(Outside() / "inner");
    fs::create_directories(m_env.PlayerDir() / "Album" / "Bound");
    WriteFile(Source() / "victim.txt", "overwritten");
  }

  fs::path Player() const { return m_env.PlayerDir(); }
  fs::path Outside() const { return m_env.ComputerDir() / "outside"; }
  fs::path Source() const { return m_env.ComputerDir() / "source"; }

  void ExpectOutsideUntouched() const {
    EXPECT_EQ(koral::test::EntryNames(Outside()), (std::vector<std::string>{"inner", "victim.txt"}));
    EXPECT_TRUE(fs::is_empty(Outside() / "inner"));
    EXPECT_EQ(ReadFile(Outside() / "victim.txt"), "precious");
  }

  koral::test::TestEnvironment m_env;
};

std::string MountText(const fs::path& mount) {
  return mount.string() + " : autre volume monté dans l'Koral : rien n'y a été copié";
}

}  // namespace

TEST_F(PlayerWritesTest, CopyWritesNothingThroughABindMountInsideThePlayer) {
  fs::create_directories(Player() / "bound");
  const koral::test::ScopedMount bound(Outside(), Player() / "bound");
  if (!bound.Held()) GTEST_SKIP() << "nothing can be mounted here";
  WriteFile(Source() / "Album" / "a.mp3", "a");
  WriteFile(Source() / "Album" / "list.m3u", "a.mp3\n");

  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"copy", "--to=bound", (Source() / "victim.txt").string()},
        {"copy", "--to=bound/inner", (Source() / "victim.txt").string(), (Source() / "Album").string()},
        {"copy", "--playlist", "--to=bound", (Source() / "Album").string()}}) {
    const KoralctlResult result = Koralctl(arguments);
    EXPECT_EQ(result.status, 1) << arguments[1];
    EXPECT_NE(result.err.find(MountText(Player() / "bound")), std::string::npos) << result.err;
    ExpectOutsideUntouched();
  }
}

TEST_F(PlayerWritesTest, ACopiedTreeStopsAtAMountItMeetsAndCopiesTheRest) {
  const koral::test::ScopedMount bound(Outside(), Player() / "Album" / "Bound");
  if (!bound.Held()) GTEST_SKIP() << "nothing can be mounted here";
  WriteFile(Source() / "Album" / "a.mp3", "a");
  WriteFile(Source() / "Album" / "Bound" / "victim.txt", "overwritten");
  WriteFile(Source() / "Album" / "Bound" / "inner" / "b.mp3", "b");
  WriteFile(Source() / "Album" / "z.mp3", "z");

  const KoralctlResult result = Koralctl({"copy", (Source() / "Album").string()});

  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find(MountText(Player() / "Album" / "Bound")), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("autre volume"), result.err.rfind("autre volume")) << "told once: " << result.err;
  EXPECT_EQ(ReadFile(Player() / "Album" / "a.mp3"), "a");
  EXPECT_EQ(ReadFile(Player() / "Album" / "z.mp3"), "z");
  ExpectOutsideUntouched();
}

TEST_F(PlayerWritesTest, MkdirCreatesNothingThroughAMountAndSaysWhichNameItMade) {
  const koral::test::ScopedMount bound(Outside(), Player() / "Album" / "Bound");
  if (!bound.Held()) GTEST_SKIP() << "nothing can be mounted here";

  for (const char* name : {"Album/Bound/new", "Album/Bound/inner/new", "Album\\Bound\\new."}) {
    const KoralctlResult result = Koralctl({"mkdir", name});
    EXPECT_EQ(result.status, 1) << name;
    EXPECT_EQ(result.err, std::string("Création du répertoire impossible : ") + name + " : '" +
                              (Player() / "Album" / "Bound").string() +
                              "' est un autre volume monté dans l'Koral : rien n'y a été créé\n");
  }
  ExpectOutsideUntouched();
}

TEST(MkdirMessagesTest, MkdirAppliesTheCopysNameRulesAndNamesWhatStandsInTheWay) {
  koral::test::TestEnvironment env;
  WriteFile(env.PlayerDir() / "Musique" / "a.mp3", "a");

  KoralctlResult result = Koralctl({"mkdir", "Musique/Live. "});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "Répertoire créé sous le nom 'Live' : l'Koral ne garde pas le nom 'Live. ' tel quel.\n");
  EXPECT_TRUE(fs::is_directory(env.PlayerDir() / "Musique" / "Live"));
  result = Koralctl({"mkdir", "..."});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(fs::is_directory(env.PlayerDir() / "_"));
  EXPECT_EQ(Koralctl({"mkdir", "Rock"}).err, "");

  const std::vector<std::pair<std::string, std::string>> refusals = {
      {"Musique", "un dossier porte déjà ce nom"},
      {"Musique/a.mp3", "un fichier porte déjà ce nom"},
      {"Absent/Rock", "le dossier 'Absent' n'existe pas sur l'Koral"},
      {"Musique/Absent/Rock", "le dossier 'Musique/Absent' n'existe pas sur l'Koral"}};
  for (const auto& [name, reason] : refusals) {
    result = Koralctl({"mkdir", name});
    EXPECT_EQ(result.status, 1) << name;
    EXPECT_EQ(result.err, "Création du répertoire impossible : " + name + " : " + reason + "\n");
  }
}
