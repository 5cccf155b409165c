// SPDX-License-Identifier: GPL-3.0-or-later
// The copy under injected faults, through koralctl run as a process with a
// shim that fails chosen calls on chosen files (support/fault/FaultShim.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/CopyTemporaries.h"
#include "support/KoralctlProcess.h"
#include "support/TestEnvironment.h"

namespace fs = std::filesystem;
using koral::test::KoralctlProcess;
using koral::test::ProcessOutcome;
using koral::test::ReadFile;
using koral::test::RunKoralctlProcess;
using koral::test::WriteFile;

namespace {

KoralctlProcess::Options Faults(std::string faults) {
  KoralctlProcess::Options options;
  options.faults = std::move(faults);
  return options;
}

// 0 while the file does not exist.
std::uintmax_t SizeOf(const fs::path& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

std::string Content(const std::string& seed, size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 29 + seed.size() * 3 + seed[0]) & 0xFF);
  return bytes;
}

constexpr size_t kTrackBytes = 700 * 1024;  // a few chunks each

class CopyFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"alpha.mp3", "bravo.mp3", "charlie.mp3"})
      WriteFile(m_env.ComputerDir() / name, Content(name, kTrackBytes));
    WriteFile(Player() / "bravo.mp3", "the old bravo, whole");
  }

  fs::path Player() const { return m_env.PlayerDir(); }

  ProcessOutcome CopyTracks(const std::string& faults, const std::vector<std::string>& options = {}) const {
    std::vector<std::string> arguments{"copy"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    for (const char* name : {"alpha.mp3", "bravo.mp3", "charlie.mp3"})
      arguments.push_back((m_env.ComputerDir() / name).string());
    return RunKoralctlProcess(arguments, Faults(faults));
  }

  bool HoldsTrack(const std::string& name) const { return ReadFile(Player() / name) == Content(name, kTrackBytes); }

  // Temporaries and their folders.
  std::vector<std::string> Temporaries() const { return koral::test::CopyTemporariesUnder(Player()); }

  koral::test::TestEnvironment m_env;
};

}  // namespace

TEST_F(CopyFaultTest, WriteErrorLeavesTheExistingTrackWholeAndTheCopyGoesOn) {
  const ProcessOutcome outcome = CopyTracks("write:EIO:bravo.mp3");

  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("bravo.mp3 : écriture impossible (erreur d'écriture"), std::string::npos) << outcome.err;
  EXPECT_TRUE(ReadFile(Player() / "bravo.mp3") == "the old bravo, whole");
  EXPECT_TRUE(HoldsTrack("alpha.mp3"));
  EXPECT_TRUE(HoldsTrack("charlie.mp3"));
  EXPECT_TRUE(Temporaries().empty());

  // With every chunk committed (the Windows 98 option), the commit is the call that fails.
  const ProcessOutcome committed = CopyTracks("fdatasync:EIO:bravo.mp3", {"--sync-each-chunk"});
  EXPECT_EQ(committed.status, 1);
  EXPECT_NE(committed.err.find("bravo.mp3 : écriture impossible (erreur d'écriture"), std::string::npos)
      << committed.err;
  EXPECT_TRUE(ReadFile(Player() / "bravo.mp3") == "the old bravo, whole");
  EXPECT_TRUE(HoldsTrack("charlie.mp3"));
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(CopyFaultTest, FullPlayerStopsTheCopyAndKeepsTheFilesDoneBefore) {
  const ProcessOutcome outcome = CopyTracks("write:ENOSPC:bravo.mp3");

  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("bravo.mp3 : l'Koral est plein"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("la copie a été arrêtée"), std::string::npos) << outcome.err;
  EXPECT_TRUE(HoldsTrack("alpha.mp3"));
  EXPECT_TRUE(ReadFile(Player() / "bravo.mp3") == "the old bravo, whole");
  EXPECT_FALSE(fs::exists(Player() / "charlie.mp3"));
  EXPECT_TRUE(Temporaries().empty());
  // The file never tried is named and counted.
  EXPECT_NE(outcome.err.find("L'Koral est plein : la copie a été arrêtée, 1 non copié :\nnon copié : " +
                             (m_env.ComputerDir() / "charlie.mp3").string() + "\n"),
            std::string::npos)
      << outcome.err;
  EXPECT_TRUE(outcome.err.ends_with(" ; 1 échec ; 1 non copié\n")) << outcome.err;
}

TEST_F(CopyFaultTest, OnlyTheNamesWrittenAreToldAsRenamed) {
  for (const char* name : {"full?.mp3", "failed?.mp3", "written?.mp3", "after?.mp3"})
    WriteFile(m_env.ComputerDir() / name, Content(name, kTrackBytes));
  const auto copy = [&](const std::string& faults, const std::vector<const char*>& names) {
    std::vector<std::string> arguments{"copy"};
    for (const char* name : names) arguments.push_back((m_env.ComputerDir() / name).string());
    return RunKoralctlProcess(arguments, Faults(faults));
  };

  const ProcessOutcome failed = copy("write:EIO:failed_.mp3", {"failed?.mp3", "written?.mp3"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err.find("renommé : failed?.mp3"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("renommé : written?.mp3 → written_.mp3\n"), std::string::npos) << failed.err;

  // Neither the file that filled the player nor the one never tried.
  const ProcessOutcome full = copy("write:ENOSPC:full_.mp3", {"full?.mp3", "after?.mp3"});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err.find("renommé"), std::string::npos) << full.err;
  EXPECT_NE(full.err.find("non copié : " + (m_env.ComputerDir() / "after?.mp3").string()), std::string::npos)
      << full.err;
}

TEST_F(CopyFaultTest, FailedWritebackIsReportedByFileNameAndNeverTakesTheFinalName) {
  const ProcessOutcome outcome = CopyTracks("sync:EIO:bravo.mp3");

  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("bravo.mp3 : écriture sur l'Koral non confirmée (erreur d'écriture"), std::string::npos)
      << outcome.err;
  EXPECT_TRUE(ReadFile(Player() / "bravo.mp3") == "the old bravo, whole");
  EXPECT_TRUE(HoldsTrack("alpha.mp3"));
  EXPECT_TRUE(HoldsTrack("charlie.mp3"));
  EXPECT_TRUE(Temporaries().empty());

  // A file larger than the window of unwritten bytes hears of it while it is copied.
  const std::string big = Content("big", 10 * 1024 * 1024);
  WriteFile(m_env.ComputerDir() / "big.bin", big);
  const ProcessOutcome large =
      RunKoralctlProcess({"copy", (m_env.ComputerDir() / "big.bin").string()}, Faults("sync:EIO:big.bin"));
  EXPECT_EQ(large.status, 1);
  EXPECT_NE(large.err.find("big.bin : écriture impossible (erreur d'écriture"), std::string::npos) << large.err;
  EXPECT_FALSE(fs::exists(Player() / "big.bin"));
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(CopyFaultTest, VolumeSyncErrorIsPinnedOnTheFileThatFailsOrReportedAsTheVolumes) {
  const ProcessOutcome pinned = CopyTracks("syncfs:EIO:" + Player().string() + ",fdatasync:EIO:bravo.mp3");
  EXPECT_EQ(pinned.status, 1);
  EXPECT_NE(pinned.err.find("bravo.mp3 : écriture sur l'Koral non confirmée"), std::string::npos) << pinned.err;
  EXPECT_EQ(pinned.err.find("hors des fichiers copiés"), std::string::npos) << pinned.err;
  // The volume's failure is told all the same: the files that passed their check may not be all it lost.
  EXPECT_NE(pinned.err.find(Player().string() + " : l'Koral a signalé une erreur d'écriture à la fin de la copie"),
            std::string::npos)
      << pinned.err;
  EXPECT_FALSE(fs::exists(Player() / "bravo.mp3"));  // its data could not be confirmed: no final name
  EXPECT_TRUE(HoldsTrack("alpha.mp3"));
  EXPECT_TRUE(HoldsTrack("charlie.mp3"));

  // Every file confirmed one by one: the error is the volume's, and told as such.
  const ProcessOutcome volume = CopyTracks("syncfs:EIO:" + Player().string());
  EXPECT_EQ(volume.status, 1);
  EXPECT_NE(volume.err.find(Player().string() + " : l'Koral a signalé une erreur d'écriture hors des fichiers copiés"),
            std::string::npos)
      << volume.err;
  for (const char* name : {"alpha.mp3", "bravo.mp3", "charlie.mp3"}) EXPECT_TRUE(HoldsTrack(name)) << name;
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(CopyFaultTest, KilledMidFileLeavesNoPartialFileUnderTheFinalNameAndTheNextCopyCleansUp) {
  const std::string big = Content("big", 4 * 1024 * 1024);
  WriteFile(m_env.ComputerDir() / "Album" / "big.mp3", big);
  WriteFile(Player() / "Album" / "big.mp3", "the old big, whole");
  const fs::path final = Player() / "Album" / "big.mp3";
  const std::vector<std::string> arguments{"copy", (m_env.ComputerDir() / "Album").string()};

  // SIGTERM asks the copy to stop, which a stuck write never lets it do: a second one ends it.
  for (const int signal : {SIGKILL, SIGTERM}) {
    KoralctlProcess copy(arguments, Faults("stall:EIO:big.mp3"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    // The first chunk is written, under whichever name the copy writes it.
    const auto started = [&] {
      return std::max(SizeOf(koral::test::TemporaryOf(Player(), "big.mp3")), SizeOf(final)) >= 300 * 1024;
    };
    while (!started() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(started()) << "the copy never started";
    copy.Kill(signal);
    if (signal == SIGTERM) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      copy.Kill(signal);
    }
    EXPECT_EQ(copy.Wait().signal, signal);
    EXPECT_TRUE(ReadFile(final) == "the old big, whole");  // not a cut-off copy
  }

  const ProcessOutcome again = RunKoralctlProcess(arguments);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(ReadFile(final) == big);
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(CopyFaultTest, SignalStopsTheCopyWithinASecondDroppingOnlyTheFileBeingWritten) {
  constexpr size_t kMebibyte = 1024 * 1024;
  const fs::path album = m_env.ComputerDir() / "Album";
  WriteFile(album / "a.mp3", Content("a", kMebibyte));
  WriteFile(album / "b.mp3", Content("b", 60 * kMebibyte));
  WriteFile(album / "c.mp3", Content("c", kMebibyte));
  const auto temporarySize = [&] { return SizeOf(koral::test::TemporaryOf(Player(), "b.mp3")); };
  std::vector<std::string> arguments{"copy"};
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) arguments.push_back((album / name).string());

  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    fs::remove(Player() / "a.mp3");
    // A player of 20 MiB/s: the big file takes three seconds.
    KoralctlProcess copy(arguments, Faults("slow:50:.koral-part"));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (temporarySize() < 2 * kMebibyte && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GE(temporarySize(), 2 * kMebibyte) << "the big file never started";
    const auto sent = std::chrono::steady_clock::now();
    copy.Kill(signal);
    const ProcessOutcome outcome = copy.Wait();
    const auto took = std::chrono::steady_clock::now() - sent;

    EXPECT_EQ(outcome.status, 128 + signal) << outcome.err;
    EXPECT_LT(took, std::chrono::seconds(1)) << std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
    EXPECT_NE(outcome.err.find("Copié : 1 fichier, "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("; aucun échec ; copie interrompue, 2 non copiés\n"), std::string::npos) << outcome.err;
    EXPECT_TRUE(ReadFile(Player() / "a.mp3") == Content("a", kMebibyte));
    EXPECT_TRUE(ReadFile(Player() / "bravo.mp3") == "the old bravo, whole");
    EXPECT_FALSE(fs::exists(Player() / "b.mp3"));
    EXPECT_FALSE(fs::exists(Player() / "c.mp3"));
    EXPECT_TRUE(Temporaries().empty());
  }
}

TEST_F(CopyFaultTest, FileSizeLimitEndsOrFailsTheCopyWithoutACutOffTrack) {
  WriteFile(m_env.ComputerDir() / "long.mp3", Content("long", 3 * 1024 * 1024));
  const std::vector<std::string> arguments{"copy", (m_env.ComputerDir() / "long.mp3").string()};

  KoralctlProcess::Options killed;
  killed.fileSizeLimit = 1024 * 1024;
  EXPECT_EQ(RunKoralctlProcess(arguments, killed).signal, SIGXFSZ);
  EXPECT_FALSE(fs::exists(Player() / "long.mp3"));

  KoralctlProcess::Options refused = killed;
  refused.ignoreFileSizeSignal = true;
  const ProcessOutcome outcome = RunKoralctlProcess(arguments, refused);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("long.mp3 : écriture impossible (fichier trop gros pour l'Koral)"), std::string::npos)
      << outcome.err;
  EXPECT_FALSE(fs::exists(Player() / "long.mp3"));
  EXPECT_TRUE(Temporaries().empty());  // the leftover of the killed copy went too
}

TEST_F(CopyFaultTest, TwoCopiesIntoOneFolderAtOnceEachEndWithWholeTracksUnderTheirNames) {
  const fs::path album = m_env.ComputerDir() / "Album";
  const std::string big = Content("big", 4 * 1024 * 1024);
  WriteFile(album / "one.mp3", Content("one", kTrackBytes));
  WriteFile(album / "big.mp3", big);
  WriteFile(album / "three.mp3", Content("three", kTrackBytes));
  WriteFile(album / "Album.m3u", "one.mp3\nbig.mp3\nthree.mp3\n");
  const std::vector<std::string> arguments{"copy", "--playlist", album.string()};
  const fs::path release = m_env.ComputerDir() / "release";
  const std::vector<std::string> tracks{"01 - one.mp3", "02 - big.mp3", "03 - three.mp3"};

  // The first copy is held in the middle of the big track, its temporary open.
  KoralctlProcess::Options held = Faults("stall:EIO:big.mp3");
  held.faultRelease = release.string();
  KoralctlProcess first(arguments, held);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  const auto temporary = [&] { return koral::test::TemporaryOf(Player(), "02 - big.mp3"); };
  while (SizeOf(temporary()) < 300 * 1024 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const fs::path heldTemporary = temporary();
  ASSERT_GE(SizeOf(heldTemporary), 300 * 1024u) << "the first copy never started its big track";

  // The second runs whole meanwhile, and leaves the first one's temporary alone.
  const ProcessOutcome second = RunKoralctlProcess(arguments);
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_TRUE(fs::exists(heldTemporary));
  EXPECT_EQ(koral::test::EntryNames(Player() / "Album"), tracks);  // final names only
  EXPECT_TRUE(ReadFile(Player() / "Album" / "02 - big.mp3") == big);

  WriteFile(release, "");
  const ProcessOutcome outcome = first.Wait();
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(koral::test::EntryNames(Player() / "Album"), tracks);
  EXPECT_TRUE(ReadFile(Player() / "Album" / "01 - one.mp3") == Content("one", kTrackBytes));
  EXPECT_TRUE(ReadFile(Player() / "Album" / "02 - big.mp3") == big);
  EXPECT_TRUE(ReadFile(Player() / "Album" / "03 - three.mp3") == Content("three", kTrackBytes));
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(CopyFaultTest, AKilledCopysTemporaryGoesWhenAnotherCopyStartsAndARunningCopysStays) {
  const std::string big = Content("big", 4 * 1024 * 1024);
  WriteFile(m_env.ComputerDir() / "big.mp3", big);
  WriteFile(m_env.ComputerDir() / "other.mp3", big);
  const auto started = [](const std::string& name, const fs::path& player) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (SizeOf(koral::test::TemporaryOf(player, name)) < 300 * 1024 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return koral::test::TemporaryOf(player, name);
  };

  KoralctlProcess killed({"copy", (m_env.ComputerDir() / "big.mp3").string()}, Faults("stall:EIO:big.mp3"));
  const fs::path leftover = started("big.mp3", Player());
  ASSERT_FALSE(leftover.empty()) << "the killed copy never started";
  killed.Kill(SIGKILL);
  EXPECT_EQ(killed.Wait().signal, SIGKILL);
  KoralctlProcess running({"copy", (m_env.ComputerDir() / "other.mp3").string()}, Faults("stall:EIO:other.mp3"));
  const fs::path live = started("other.mp3", Player());
  ASSERT_FALSE(live.empty()) << "the running copy never started";

  // A copy of something else, into another folder: what the dead run left goes, the live run's stays.
  fs::create_directories(Player() / "Elsewhere");
  const ProcessOutcome outcome =
      RunKoralctlProcess({"copy", "--to", "Elsewhere", (m_env.ComputerDir() / "alpha.mp3").string()});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_FALSE(fs::exists(leftover.parent_path()));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_FALSE(fs::exists(Player() / "big.mp3"));
  EXPECT_EQ(ReadFile(Player() / "Elsewhere" / "alpha.mp3"), Content("alpha.mp3", kTrackBytes));
}
