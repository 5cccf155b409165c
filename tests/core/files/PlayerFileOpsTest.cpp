// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/PlayerFileOps.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "core/files/SizeText.h"
#include "core/platform/FileDescriptor.h"
#include "support/ScopedMount.h"
#include "support/TestEnvironment.h"
#include "support/Undeletable.h"

namespace fs = std::filesystem;
using koral::PlayerFiles;
using koral::PlayerPathError;
using koral::test::EntryNames;
using koral::test::TempDir;
using koral::test::WriteFile;

namespace {

class PlayerFileOpsTest : public ::testing::Test {
 protected:
  PlayerFileOpsTest() {
    fs::create_directories(Player());
    fs::create_directories(Outside());
  }
  fs::path Player() const { return m_dir / "player"; }
  fs::path Outside() const { return m_dir / "outside"; }
  std::string At(const std::string& name) const { return (Player() / name).string(); }

  TempDir m_dir;
};

PlayerPathError::Reason ReasonOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const PlayerPathError& error) {
    return error.GetReason();
  }
  ADD_FAILURE() << "no PlayerPathError";
  return PlayerPathError::Reason::NoPlayer;
}

void MakeReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

std::string WithSlashes(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

}  // namespace

TEST_F(PlayerFileOpsTest, AFolderThatStaysIsReportedAndTheWalkGoesOn) {
  for (const char* name : {"Album/Disc/locked.mp3", "Album/Disc/other.mp3", "Album/a.mp3", "Album/Live/b.mp3"})
    WriteFile(Player() / name, "x");
  const koral::test::Undeletable lock(Player() / "Album/Disc/locked.mp3");
  if (!lock.Held()) GTEST_SKIP() << "the immutable flag cannot be set here";

  const std::vector<koral::RemovalFailure> failures = PlayerFiles(Player().string()).DeleteEntry(At("Album"));

  std::vector<std::string> folders;
  for (const koral::RemovalFailure& failure : failures)
    if (failure.folder) folders.push_back(failure.path);
  EXPECT_EQ(folders, (std::vector<std::string>{At("Album/Disc"), At("Album")}));
  EXPECT_EQ(failures.size(), 3U);  // the file itself, not shown to the user
  EXPECT_FALSE(fs::exists(Player() / "Album/Disc/other.mp3"));
  EXPECT_FALSE(fs::exists(Player() / "Album/a.mp3"));
  EXPECT_FALSE(fs::exists(Player() / "Album/Live"));
}

TEST_F(PlayerFileOpsTest, DeletesReadOnlyAndHiddenFilesAtTheTopAndInsideATree) {
  WriteFile(Player() / "locked.mp3", "x");
  WriteFile(Player() / ".hidden", "x");
  WriteFile(Player() / "Album/locked.mp3", "x");
  WriteFile(Player() / "Album/.hidden", "x");
  WriteFile(Player() / "Album/Disc 2/track.mp3", "x");
  MakeReadOnly(Player() / "locked.mp3");
  MakeReadOnly(Player() / "Album/locked.mp3");
  fs::permissions(Player() / "Album/Disc 2", fs::perms::owner_read | fs::perms::owner_exec);

  const PlayerFiles files(Player().string());
  for (const char* name : {"locked.mp3", ".hidden", "Album"}) EXPECT_TRUE(files.DeleteEntry(At(name)).empty()) << name;

  EXPECT_TRUE(fs::is_empty(Player()));
}

TEST_F(PlayerFileOpsTest, RemovesSymbolicLinksWithoutTouchingWhatTheyPointTo) {
  WriteFile(Outside() / "keep/song.mp3", "precious");
  WriteFile(Outside() / "keep.mp3", "precious");
  MakeReadOnly(Outside() / "keep.mp3");
  fs::create_directory_symlink(Outside() / "keep", Player() / "folderLink");
  fs::create_symlink(Outside() / "keep.mp3", Player() / "fileLink.mp3");
  fs::create_directories(Player() / "Tree");
  fs::create_directory_symlink(Outside() / "keep", Player() / "Tree/innerLink");

  const PlayerFiles files(Player().string());
  for (const char* name : {"folderLink", "fileLink.mp3", "Tree"}) EXPECT_TRUE(files.DeleteEntry(At(name)).empty());

  EXPECT_TRUE(fs::is_empty(Player()));
  EXPECT_EQ(koral::test::ReadFile(Outside() / "keep/song.mp3"), "precious");
  EXPECT_EQ(fs::status(Outside() / "keep.mp3").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PlayerFileOpsTest, AHardLinkGoesAndTheOutsideFileKeepsItsMode) {
  WriteFile(Outside() / "keep.mp3", "precious");
  MakeReadOnly(Outside() / "keep.mp3");
  fs::create_hard_link(Outside() / "keep.mp3", Player() / "linked.mp3");

  EXPECT_TRUE(PlayerFiles(Player().string()).DeleteEntry(At("linked.mp3")).empty());

  EXPECT_FALSE(fs::exists(Player() / "linked.mp3"));
  EXPECT_EQ(koral::test::ReadFile(Outside() / "keep.mp3"), "precious");
  EXPECT_EQ(fs::status(Outside() / "keep.mp3").permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(PlayerFileOpsTest, RefusesEveryPathThatLeavesThePlayer) {
  WriteFile(Outside() / "victim.mp3", "x");
  WriteFile(Player() / "Sub/song.mp3", "x");
  fs::create_directory_symlink(Outside(), Player() / "escape");
  const PlayerFiles files(Player().string());
  const auto outside = PlayerPathError::Reason::OutsidePlayer;

  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(At("../outside/victim.mp3")); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(At("Sub/../../outside")); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(At("escape/victim.mp3")); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry((Outside() / "victim.mp3").string()); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(At("Sub/..")); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(At("..")); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(At(".")); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(Player().string() + "/"); }), outside);

  EXPECT_TRUE(fs::exists(Outside() / "victim.mp3"));
  EXPECT_TRUE(fs::exists(Player() / "Sub/song.mp3"));
}

TEST_F(PlayerFileOpsTest, WorksThroughARootGivenAsALink) {
  WriteFile(Player() / "a.mp3", "x");
  WriteFile(Player() / "Settings.dat", "x");
  fs::create_directory_symlink(Player(), m_dir / "mounted");
  fs::create_directory_symlink(m_dir.Path(), Player() / "up");
  const std::string root = (m_dir / "mounted").string();
  const PlayerFiles files(root);

  EXPECT_FALSE(files.CreateFolder(root, "Musique").error);
  EXPECT_TRUE(files.DeleteEntry(root + "/a.mp3").empty());
  EXPECT_EQ(ReasonOf([&] { files.DeleteEntry(root + "/up/outside"); }), PlayerPathError::Reason::OutsidePlayer);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(root + "/up", "created"); }), PlayerPathError::Reason::OutsidePlayer);
  EXPECT_TRUE(files.EmptyPlayer().empty());

  EXPECT_EQ(EntryNames(Player()), std::vector<std::string>{"Settings.dat"});
  EXPECT_TRUE(fs::is_directory(Outside()));
  EXPECT_FALSE(fs::exists(m_dir / "created"));
}

TEST_F(PlayerFileOpsTest, NeedsARealPlayerRoot) {
  const auto noPlayer = PlayerPathError::Reason::NoPlayer;
  EXPECT_EQ(ReasonOf([] { PlayerFiles files(""); }), noPlayer);
  EXPECT_EQ(ReasonOf([] { PlayerFiles files("/"); }), noPlayer);
  EXPECT_EQ(ReasonOf([&] { PlayerFiles files((Player() / "..").string() + "/../../../../../../../.."); }), noPlayer);
  EXPECT_EQ(ReasonOf([&] { PlayerFiles files(At("missing")); }), noPlayer);
  WriteFile(Player() / "file", "x");
  EXPECT_EQ(ReasonOf([&] { PlayerFiles files(At("file")); }), noPlayer);
}

TEST_F(PlayerFileOpsTest, EmptyingKeepsOnlyTheRootsDatAndIniFiles) {
  for (const char* name : {"Settings.dat", "Config.INI", "a.mp3", "README", ".hidden", "x.dat/inner.txt",
                           "Musique/Rock/keep.ini", "Musique/Settings.dat"})
    WriteFile(Player() / name, "x");
  MakeReadOnly(Player() / "a.mp3");
  fs::create_directory_symlink(Outside(), Player() / "link.ini");
  WriteFile(Outside() / "song.mp3", "x");

  const PlayerFiles files(Player().string());
  EXPECT_FALSE(files.IsEmpty());
  EXPECT_TRUE(files.EmptyPlayer().empty());

  EXPECT_EQ(EntryNames(Player()), (std::vector<std::string>{"Config.INI", "Settings.dat"}));
  EXPECT_TRUE(fs::exists(Outside() / "song.mp3"));
}

TEST_F(PlayerFileOpsTest, EmptyingLeavesTheTemporariesOfACopyStillRunning) {
  const fs::path partial = Player() / ".koral-part";
  WriteFile(partial / "run-1-dead" / ".lock", "");
  WriteFile(partial / "run-1-dead" / "1.cut.mp3.koral-part", "cut off");
  WriteFile(partial / "run-2-live" / ".lock", "");
  WriteFile(partial / "run-2-live" / "1.track.mp3.koral-part", "being written");
  WriteFile(Player() / "a.mp3", "x");
  const koral::FileDescriptor live(open((partial / "run-2-live" / ".lock").c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_EQ(flock(live.Get(), LOCK_EX), 0);

  const PlayerFiles files(Player().string());
  EXPECT_TRUE(files.EmptyPlayer().empty());

  EXPECT_EQ(EntryNames(Player()), std::vector<std::string>{".koral-part"});
  EXPECT_EQ(EntryNames(partial), std::vector<std::string>{"run-2-live"});
  EXPECT_EQ(EntryNames(partial / "run-2-live"), (std::vector<std::string>{".lock", "1.track.mp3.koral-part"}));

  // A file of the user's that merely bears the name is emptied like any other.
  flock(live.Get(), LOCK_UN);
  fs::remove_all(partial);
  WriteFile(partial, "the user's own");
  EXPECT_TRUE(files.EmptyPlayer().empty());
  EXPECT_TRUE(EntryNames(Player()).empty());
}

TEST_F(PlayerFileOpsTest, AnEmptyRootIsEmpty) {
  const PlayerFiles files(Player().string());
  EXPECT_TRUE(files.IsEmpty());
  EXPECT_TRUE(files.EmptyPlayer().empty());
}

TEST_F(PlayerFileOpsTest, CreatesOneFolderLevelInsideThePlayer) {
  const PlayerFiles files(Player().string());
  const std::string folder = Player().string();

  EXPECT_FALSE(files.CreateFolder(folder, "Musique").error);
  EXPECT_TRUE(fs::is_directory(Player() / "Musique"));
  EXPECT_EQ(files.CreateFolder(folder, "Musique").error, std::errc::is_a_directory);
  EXPECT_EQ(files.CreateFolder(folder, "Absent/Rock").error, std::errc::no_such_file_or_directory);
  EXPECT_FALSE(files.CreateFolder(folder, "Musique/Rock/").error);
  EXPECT_FALSE(files.CreateFolder(folder, "a..b").error);
  EXPECT_FALSE(files.CreateFolder(folder, " spaced ").error);
  EXPECT_TRUE(fs::is_directory(Player() / "Musique/Rock"));
  EXPECT_TRUE(fs::is_directory(Player() / " spaced"));  // FAT keeps no trailing space
}

TEST_F(PlayerFileOpsTest, ACreatedFolderFollowsTheCopysNameRulesAndFailuresSayWhy) {
  WriteFile(Player() / "Musique/a.mp3", "x");
  const PlayerFiles files(Player().string());
  const std::string folder = Player().string();
  const std::string tooLong = std::string(300, 'n');

  const std::vector<std::pair<std::string, std::string>> names = {{"Rock.", "Rock"},
                                                                  {"Jazz . ", "Jazz"},
                                                                  {"...", "_"},
                                                                  {"Musique\\Live..", "Live"},
                                                                  {tooLong, std::string(255, 'n')}};
  for (const auto& [typed, made] : names) {
    const koral::FolderCreation creation = files.CreateFolder(folder, typed);
    EXPECT_FALSE(creation.error) << typed;
    EXPECT_EQ(creation.name, made);
    const std::string lastPart = fs::path(WithSlashes(typed)).filename().string();
    EXPECT_EQ(koral::FolderRenameText(creation),
              "Répertoire créé sous le nom '" + made + "' : l'Koral ne garde pas le nom '" + lastPart + "' tel quel.");
  }
  EXPECT_EQ(EntryNames(Player()), (std::vector<std::string>{"Jazz", "Musique", "Rock", "_", std::string(255, 'n')}));
  EXPECT_TRUE(fs::is_directory(Player() / "Musique/Live"));
  EXPECT_EQ(koral::FolderRenameText(files.CreateFolder(folder, "Blues")), "");

  const auto reason = [&](const std::string& typed) {
    return koral::FolderCreationFailureReason(files.CreateFolder(folder, typed));
  };
  EXPECT_EQ(reason("Rock"), "un dossier porte déjà ce nom");
  EXPECT_EQ(reason("Rock."), "un dossier porte déjà ce nom");
  EXPECT_EQ(reason("Musique/a.mp3"), "un fichier porte déjà ce nom");
  EXPECT_EQ(reason("Absent/Rock"), "le dossier 'Absent' n'existe pas sur l'Koral");
  EXPECT_EQ(reason("Musique/Absent/Deeper/Rock"), "le dossier 'Musique/Absent' n'existe pas sur l'Koral");

  fs::remove_all(Player());  // unplugged
  EXPECT_EQ(reason("Rock"), "introuvable (l'Koral a-t-il été débranché ?)");
}

TEST_F(PlayerFileOpsTest, NoFolderIsCreatedThroughAMountInsideThePlayer) {
  fs::create_directories(Player() / "Bound");
  fs::create_directories(Outside() / "inner");
  const koral::test::ScopedMount bound(Outside(), Player() / "Bound");
  if (!bound.Held()) GTEST_SKIP() << "nothing can be mounted here";
  const PlayerFiles files(Player().string());

  const std::vector<std::pair<std::string, std::string>> places = {{Player().string(), "Bound/new"},
                                                                   {At("Bound"), "new"},
                                                                   {At("Bound/inner"), "new"},
                                                                   {Player().string(), "Bound\\inner\\new"}};
  for (const auto& [folder, typed] : places) {
    const koral::FolderCreation creation = files.CreateFolder(folder, typed);
    EXPECT_EQ(creation.error, std::errc::cross_device_link) << folder << " " << typed;
    EXPECT_EQ(koral::FolderCreationFailureReason(creation),
              "'" + At("Bound") + "' est un autre volume monté dans l'Koral : rien n'y a été créé");
  }
  EXPECT_EQ(EntryNames(Outside()), std::vector<std::string>{"inner"});
  EXPECT_TRUE(fs::is_empty(Outside() / "inner"));
}

TEST_F(PlayerFileOpsTest, ABackslashSeparatesFoldersAsASlashDoes) {
  fs::create_directories(Player() / "Musique");
  const PlayerFiles files(Player().string());
  const std::string folder = Player().string();

  EXPECT_FALSE(files.CreateFolder(folder, "Musique\\Jazz").error);
  EXPECT_TRUE(fs::is_directory(Player() / "Musique/Jazz"));
  EXPECT_EQ(files.CreateFolder(folder, "Absent\\Rock").error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "..\\created"); }), PlayerPathError::Reason::BadName);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "Musique\\..\\..\\created"); }),
            PlayerPathError::Reason::BadName);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "Musique\\."); }), PlayerPathError::Reason::BadName);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "\\created"); }), PlayerPathError::Reason::BadName);
  for (const char* refused : {"Tab\there", "New\nline", "a:b", "what?", "x|y"})
    EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, refused); }), PlayerPathError::Reason::BadName) << refused;

  EXPECT_FALSE(fs::exists(m_dir / "created"));
  EXPECT_FALSE(fs::exists("/created"));
  std::vector<std::string> left;
  for (const auto& entry : fs::recursive_directory_iterator(Player())) left.push_back(entry.path().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{At("Musique"), At("Musique/Jazz")}));
}

TEST_F(PlayerFileOpsTest, NothingIsCreatedThroughALinkThatPointsOutside) {
  fs::create_directory_symlink(Outside() / "target", Player() / "dangling");
  fs::create_directory_symlink(Outside(), Player() / "escape");
  const PlayerFiles files(Player().string());
  const std::string folder = Player().string();

  EXPECT_EQ(files.CreateFolder(folder, "dangling").error, std::errc::too_many_symbolic_link_levels);
  EXPECT_TRUE(files.CreateFolder(folder, "dangling/inner").error);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "escape\\created"); }), PlayerPathError::Reason::OutsidePlayer);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder + "/escape", "created"); }),
            PlayerPathError::Reason::OutsidePlayer);

  EXPECT_TRUE(fs::is_empty(Outside()));
}

TEST_F(PlayerFileOpsTest, RefusesFolderNamesAndPlacesOutsideThePlayer) {
  fs::create_directory_symlink(Outside(), Player() / "escape");
  const PlayerFiles files(Player().string());
  const std::string folder = Player().string();
  const auto bad = PlayerPathError::Reason::BadName;
  const auto outside = PlayerPathError::Reason::OutsidePlayer;

  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, ""); }), bad);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "../created"); }), bad);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "escape/../../created"); }), bad);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, (Outside() / "created").string()); }), bad);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "."); }), bad);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(folder, "escape/created"); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder(Outside().string(), "created"); }), outside);
  EXPECT_EQ(ReasonOf([&] { files.CreateFolder("", "created"); }), outside);

  EXPECT_TRUE(fs::is_empty(Outside()));
  EXPECT_FALSE(fs::exists(m_dir / "created"));
}

TEST_F(PlayerFileOpsTest, NeitherDeleteNorEmptyGoesIntoAnotherFileSystemMountedInsideThePlayer) {
  WriteFile(Player() / "Album" / "a.mp3", "x");
  fs::create_directories(Player() / "Album" / "Card");
  fs::create_directories(Player() / "Bound");
  WriteFile(Outside() / "precious.mp3", "precious");
  const koral::test::ScopedMount card(Player() / "Album" / "Card", "size=64k");
  const koral::test::ScopedMount bound(Outside(), Player() / "Bound");  // same device, another mount
  if (!card.Held() || !bound.Held()) GTEST_SKIP() << "nothing can be mounted here";
  WriteFile(Player() / "Album" / "Card" / "kept.mp3", "on the card");

  const PlayerFiles files(Player().string());
  const std::vector<koral::RemovalFailure> deleted = files.DeleteEntry(At("Album"));
  const std::vector<koral::RemovalFailure> emptied = files.EmptyPlayer();

  EXPECT_EQ(koral::test::ReadFile(Player() / "Album" / "Card" / "kept.mp3"), "on the card");
  EXPECT_EQ(koral::test::ReadFile(Outside() / "precious.mp3"), "precious");
  EXPECT_FALSE(fs::exists(Player() / "Album" / "a.mp3"));
  ASSERT_FALSE(deleted.empty());
  EXPECT_EQ(deleted.front().path, At("Album/Card"));
  EXPECT_TRUE(deleted.front().otherVolume);
  std::vector<std::string> otherVolumes;
  for (const koral::RemovalFailure& failure : emptied)
    if (failure.otherVolume) otherVolumes.push_back(failure.path);
  std::sort(otherVolumes.begin(), otherVolumes.end());
  EXPECT_EQ(otherVolumes, (std::vector<std::string>{At("Album/Card"), At("Bound")}));
  EXPECT_EQ(koral::RemovalFailureText(deleted.front()),
            "'" + At("Album/Card") + "' est un autre volume monté dans l'Koral : rien n'y a été supprimé.");
}

TEST_F(PlayerFileOpsTest, TalliesCountWhatTheDeleteAndTheEmptyingRemove) {
  WriteFile(Player() / "Settings.dat", std::string(500, 's'));
  WriteFile(Player() / "Album/a.mp3", std::string(1000, 'a'));
  WriteFile(Player() / "Album/Disc/b.mp3", std::string(2000, 'b'));
  WriteFile(Player() / "Album/Disc/Player.INI", "i");  // kept only at the root
  fs::create_directories(Player() / "Empty");
  WriteFile(Player() / "c.mp3", std::string(30, 'c'));
  WriteFile(Outside() / "huge.mp3", std::string(9000, 'h'));
  fs::create_directory_symlink(Outside(), Player() / "Album/outsideLink");  // one file, never followed

  const PlayerFiles files(Player().string());
  const koral::RemovalTally selected =
      files.TallyEntries({At("Album"), At("c.mp3"), At("gone.mp3"), (Outside() / "huge.mp3").string()});
  EXPECT_EQ(selected.entries, 2u);  // the vanished and the outside path count nothing
  EXPECT_EQ(selected.files, 5u);
  EXPECT_EQ(selected.bytes, 3031u);

  const koral::RemovalTally emptying = files.TallyEmptying();
  EXPECT_EQ(emptying.entries, 3u);  // Album, Empty, c.mp3
  EXPECT_EQ(emptying.files, 5u);
  EXPECT_EQ(emptying.bytes, 3031u);

  std::stop_source stopped;
  stopped.request_stop();
  EXPECT_EQ(files.TallyEmptying(stopped.get_token()).files, 0u);

  files.EmptyPlayer();
  EXPECT_EQ(EntryNames(Player()), std::vector<std::string>{"Settings.dat"});
  EXPECT_EQ(files.TallyEmptying().entries, 0u);
}

TEST(RemovalFailureText, IsFrenchAndNamesTheEntry) {
  const auto failure = [](const char* path, std::errc error, bool folder) {
    return koral::RemovalFailureText({path, std::make_error_code(error), folder, false});
  };
  EXPECT_EQ(failure("/media/KORAL/Album", std::errc::directory_not_empty, true),
            "Impossible de supprimer le dossier '/media/KORAL/Album' : il n'est pas vide.");
  EXPECT_EQ(failure("/media/KORAL/a.mp3", std::errc::permission_denied, false),
            "Impossible de supprimer le fichier '/media/KORAL/a.mp3' : accès refusé.");
  EXPECT_EQ(
      failure("/media/KORAL/b.mp3", std::errc::io_error, false),
      "Impossible de supprimer le fichier '/media/KORAL/b.mp3' : erreur d'écriture (l'Koral a-t-il été débranché ?).");
}

TEST(EmptyingType, IsTheTypeThePlayerListShows) {
  EXPECT_EQ(koral::FileType("archive.tar.gz"), "gz");
  EXPECT_EQ(koral::FileType("README"), "");
  EXPECT_EQ(koral::FileType("name."), "");
  EXPECT_EQ(koral::FileType("Config.INI"), "INI");
}
