// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/PipeWriterAfter.h"
#include "support/TestEnvironment.h"
#include "support/UnprivilegedAccess.h"

namespace fs = std::filesystem;
using Outcome = koral::test::KoralctlResult;
using koral::test::Koralctl;
using koral::test::ReadFile;
using koral::test::WriteFile;

TEST(CopyCommandTest, CopiesFilesAndPlaylistFoldersIntoAFolderOfThePlayer) {
  koral::test::TestEnvironment env;
  const fs::path album = env.ComputerDir() / "Album";
  WriteFile(album / "x.mp3", "x bytes");
  WriteFile(album / "y.wma", "y bytes");
  WriteFile(album / "list.m3u", "y.wma\nx.mp3\n");
  WriteFile(env.ComputerDir() / "single.mp3", "single");
  fs::create_directories(env.PlayerDir() / "Music");

  const Outcome outcome = Koralctl({"copy", "--playlist", "--numbers-only", "--to", "Music", album.string() + "/",
                                    (env.ComputerDir() / "single.mp3").string()});

  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Music" / "Album" / "01.mp3"), "y bytes");
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Music" / "Album" / "02.mp3"), "x bytes");
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Music" / "single.mp3"), "single");
}

TEST(CopyCommandTest, FailsWithTheReportWhenAnEntryIsNotCopied) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "a");
  WriteFile(env.ComputerDir() / "Album" / "list.m3u", "#EXTM3U\n#EXTINF:1,A\na.mp3\n#EXTINF:1,B\nb.mp3\n");

  const Outcome outcome = Koralctl({"copy", "--playlist", (env.ComputerDir() / "Album").string()});

  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("b.mp3 : fichier introuvable"), std::string::npos) << outcome.err;
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Album" / "01 - a.mp3"), "a");
}

TEST(CopyCommandTest, ListsTheRenamedEntriesAfterTheCopyAndEndsWithTheSummary) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "a:b?.mp3", "ab");
  WriteFile(env.ComputerDir() / "Live?" / "x*.mp3", "xyz");
  WriteFile(env.ComputerDir() / "plain.mp3", "plain..");

  const Outcome outcome =
      Koralctl({"copy", (env.ComputerDir() / "a:b?.mp3").string(), (env.ComputerDir() / "Live?").string(),
                (env.ComputerDir() / "plain.mp3").string()});

  EXPECT_EQ(outcome.status, 0) << outcome.err;  // a rename is no failure
  EXPECT_TRUE(std::regex_match(outcome.err, std::regex("renommé : a:b\\?\\.mp3 → a_b_\\.mp3\n"
                                                       "renommé : Live\\? → Live_\n"
                                                       "renommé : x\\*\\.mp3 → x_\\.mp3\n"
                                                       "Copié : 3 fichiers, 12 o en 0:0\\d ; aucun échec\n")))
      << outcome.err;
  EXPECT_EQ(ReadFile(env.PlayerDir() / "a_b_.mp3"), "ab");
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Live_" / "x_.mp3"), "xyz");
}

TEST(CopyCommandTest, TheSummaryCountsWhatWasRefusedOrFailedAndNotItsBytes) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "aaaa");
  WriteFile(env.ComputerDir() / "Album" / "list.m3u", "a.mp3\nmissing.mp3\n");
  WriteFile(env.ComputerDir() / "s?.mp3", "first");
  WriteFile(env.ComputerDir() / "s*.mp3", "other");

  const Outcome outcome = Koralctl({"copy", "--playlist", (env.ComputerDir() / "Album").string(),
                                    (env.ComputerDir() / "s?.mp3").string(), (env.ComputerDir() / "s*.mp3").string()});

  EXPECT_EQ(outcome.status, 1);
  // s*.mp3 falls on the name of s?.mp3: refused before the copy, and not listed as renamed.
  EXPECT_EQ(outcome.err.find("Ces éléments ne seront pas copiés :\n" + (env.ComputerDir() / "s*.mp3").string()), 0u)
      << outcome.err;
  EXPECT_NE(outcome.err.find("\nrenommé : s?.mp3 → s_.mp3\n"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find("renommé : s*.mp3"), std::string::npos) << outcome.err;
  EXPECT_TRUE(std::regex_search(outcome.err, std::regex("\nCopié : 2 fichiers, 9 o en 0:0\\d ; 2 échecs\n$")))
      << outcome.err;
}

TEST(CopyCommandTest, AMissingPlaylistEntryIsNotToldAsRenamed) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "Album" / "a:b.mp3", "ab");
  WriteFile(env.ComputerDir() / "Album" / "list.m3u", "gone?.mp3\na:b.mp3\n");

  const Outcome outcome = Koralctl({"copy", "--playlist", (env.ComputerDir() / "Album").string()});

  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("gone?.mp3 : fichier introuvable"), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find("renommé : 01"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("\nrenommé : 02 - a:b.mp3 → 02 - a_b.mp3\n"), std::string::npos) << outcome.err;
}

TEST(CopyCommandTest, RefusesAFolderOutsideThePlayerAndALackOfSpace) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "a.mp3", "a");
  WriteFile(env.ComputerDir() / "huge.bin", "");
  fs::resize_file(env.ComputerDir() / "huge.bin", std::uintmax_t{1} << 43);

  const Outcome outside = Koralctl({"copy", "--to", "../computer", (env.ComputerDir() / "a.mp3").string()});
  EXPECT_EQ(outside.status, 1);
  EXPECT_NE(outside.err.find("Dossier introuvable sur l'Koral"), std::string::npos);

  const fs::path elsewhere = env.ComputerDir().parent_path() / "elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directory_symlink(elsewhere, env.PlayerDir() / "Linked");
  const Outcome linked = Koralctl({"copy", "--to", "Linked", (env.ComputerDir() / "a.mp3").string()});
  EXPECT_EQ(linked.status, 1);
  EXPECT_NE(linked.err.find("Dossier introuvable sur l'Koral"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(elsewhere));
  fs::remove(env.PlayerDir() / "Linked");

  const Outcome full = Koralctl({"copy", (env.ComputerDir() / "huge.bin").string()});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "Espace libre insuffisant\n");
  EXPECT_TRUE(fs::is_empty(env.PlayerDir()));
}

TEST(CopyCommandTest, UsageErrorsAndNoPlayer) {
  koral::test::TestEnvironment env;
  EXPECT_EQ(Koralctl({"copy"}).status, 2);
  EXPECT_EQ(Koralctl({"copy", "--bogus", "x"}).status, 2);
  EXPECT_EQ(Koralctl({"copy", "/"}).status, 2);
  env.ForgetPlayer();
  const koral::FixedVolumeSource noVolumes({});
  koral::SetVolumeSourceForTesting(&noVolumes);
  EXPECT_EQ(Koralctl({"copy", env.ComputerDir().string()}).status, 1);
  koral::SetVolumeSourceForTesting(nullptr);
}

TEST(CopyCommandTest, AnUnreadableSubFolderIsNamedAndFailsTheCommandWithoutAnEmptyFolder) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "Music" / "a.mp3", "a");
  WriteFile(env.ComputerDir() / "Music" / "Locked" / "b.mp3", "b");
  // The copy runs as an ordinary user: the sandbox lets it through and write on the player.
  fs::permissions(env.ComputerDir().parent_path(), fs::perms::others_read | fs::perms::others_exec,
                  fs::perm_options::add);
  fs::permissions(env.PlayerDir(), fs::perms::all);
  fs::permissions(env.ComputerDir() / "Music" / "Locked", fs::perms::none);

  Outcome outcome{};
  {
    const koral::test::UnprivilegedAccess unprivileged;
    outcome = Koralctl({"copy", (env.ComputerDir() / "Music").string()});
  }

  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Locked : lecture impossible (accès refusé)"), std::string::npos) << outcome.err;
  EXPECT_EQ(ReadFile(env.PlayerDir() / "Music" / "a.mp3"), "a");
  EXPECT_FALSE(fs::exists(env.PlayerDir() / "Music" / "Locked"));
}

TEST(CopyCommandTest, APipeInPlaceOfAPlaylistIsRefusedAtOnce) {
  koral::test::TestEnvironment env;
  WriteFile(env.ComputerDir() / "Album" / "a.mp3", "a");
  const fs::path pipe = env.ComputerDir() / "Album" / "list.m3u";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const koral::test::PipeWriterAfter release(pipe, std::chrono::seconds(3));  // a blocked read would end only then

  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = Koralctl({"copy", "--playlist", (env.ComputerDir() / "Album").string()});

  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "La playlist n'est pas un fichier ordinaire : " + pipe.string() + "\n");
  EXPECT_TRUE(fs::is_empty(env.PlayerDir()));
}
