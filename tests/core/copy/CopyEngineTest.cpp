// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

#include "core/copy/CopyEngine.h"
#include "core/copy/CopyLeftovers.h"
#include "core/copy/CopyReport.h"
#include "core/files/SelectionSize.h"
#include "core/platform/FileDescriptor.h"
#include "support/CopyJobs.h"
#include "support/CopyTemporaries.h"
#include "support/TestEnvironment.h"
#include "support/UnprivilegedAccess.h"

namespace fs = std::filesystem;
using koral::test::EntryNames;
using koral::test::ReadFile;
using koral::test::TempDir;
using koral::test::TemporaryOf;
using koral::test::WriteFile;

namespace {

class RecordingObserver final : public koral::CopyObserver {
 public:
  void OnProgress(const koral::CopyProgress& progress) override {
    calls.push_back(progress);
    if (duringCopy) duringCopy(progress);
  }
  std::vector<koral::CopyProgress> calls;
  std::function<void(const koral::CopyProgress&)> duringCopy;  // what the test does while the copy runs
};

// Distinct bytes per file, so that a mixed-up copy shows.
std::string Content(const std::string& seed, size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + seed.size() * 7 + seed[0]) & 0xFF);
  return bytes;
}

class CopyEngineTest : public ::testing::Test {
 protected:
  fs::path Computer() const { return m_dir / "computer"; }
  fs::path Player() const { return m_dir / "player"; }

  void SetUp() override { fs::create_directories(Player()); }

  koral::CopyResult Copy(const std::vector<std::string>& names, koral::CopyOptions options = {},
                         std::optional<std::uint64_t> maxFileSize = std::nullopt) {
    koral::CopyJob job = koral::test::JobCopyingNames(Computer(), Player(), names, options);
    job.maxFileSize = maxFileSize;
    plan = koral::BuildCopyPlan(job);
    koral::CCopyEngine engine(options, observer);
    return engine.Run(plan);
  }

  TempDir m_dir;
  RecordingObserver observer;
  koral::CopyPlan plan;
};

koral::CopyOptions PlaylistOptions(bool numbersOnly = false) {
  koral::CopyOptions options;
  options.followPlaylist = true;
  options.numbersOnly = numbersOnly;
  return options;
}

}  // namespace

TEST_F(CopyEngineTest, PlaylistFolderIsCopiedInPlaylistOrderUnderNumberedNames) {
  std::string playlist = "#EXTM3U\r\n";
  for (int i = 1; i <= 100; ++i) {
    const std::string name = "t" + std::to_string(i) + (i == 9 ? ".wma" : ".mp3");
    WriteFile(Computer() / "Album" / name, Content(name, 100 + i));
    // The 5th entry has no information line: the pairing must not shift.
    if (i != 5) playlist += "#EXTINF:1,Title " + std::to_string(i) + "\r\n";
    playlist += name + "\r\n";
  }
  WriteFile(Computer() / "Album" / "list.m3u", playlist);
  WriteFile(Computer() / "Album" / "not-listed.mp3", "x");
  WriteFile(Computer() / "Album" / "Sub" / "deep.mp3", "x");

  const koral::CopyResult result = Copy({"Album"}, PlaylistOptions());

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(result.filesCopied, 100);
  EXPECT_EQ(plan.fileTotal, 100);
  const fs::path album = Player() / "Album";
  EXPECT_EQ(EntryNames(album).size(), 100u);  // no playlist, no unlisted file, no sub-folder
  EXPECT_EQ(ReadFile(album / "05 - t5.mp3"), Content("t5.mp3", 105));
  EXPECT_EQ(ReadFile(album / "09 - t9.wma"), Content("t9.wma", 109));
  EXPECT_EQ(ReadFile(album / "10 - t10.mp3"), Content("t10.mp3", 110));
  EXPECT_EQ(ReadFile(album / "100 - t100.mp3"), Content("t100.mp3", 200));
}

TEST_F(CopyEngineTest, NumberOnlyNamesAlwaysEndInMp3AndAPlainPlaylistStartsWithAnEntry) {
  WriteFile(Computer() / "Album" / "b.wma", "wma bytes");
  WriteFile(Computer() / "Album" / "a.mp3", "mp3 bytes");
  WriteFile(Computer() / "Album" / "list.m3u", "b.wma\na.mp3\n");

  const koral::CopyResult result = Copy({"Album"}, PlaylistOptions(true));

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(EntryNames(Player() / "Album"), (std::vector<std::string>{"01.mp3", "02.mp3"}));
  EXPECT_EQ(ReadFile(Player() / "Album" / "01.mp3"), "wma bytes");
}

// An *.m3u8 is taken byte for byte: a name that is not UTF-8 is not re-read
// as Windows-1252 (as an *.m3u would be), so it still names its file.
TEST_F(CopyEngineTest, AnM3u8IsTheFolderPlaylistWhenThereIsNoM3uAndIsReadAsUtf8) {
  const std::string name = "\xE9t\xE9.mp3";
  WriteFile(Computer() / "Album" / name, "utf-8 name");
  WriteFile(Computer() / "Album" / "b.mp3", "b");
  WriteFile(Computer() / "Album" / "album.m3u8", "#EXTM3U\n#EXTINF:1,x\n" + name + "\nb.mp3\n");
  WriteFile(Computer() / "Mixed" / "a.mp3", "a");
  WriteFile(Computer() / "Mixed" / "b.mp3", "b");
  WriteFile(Computer() / "Mixed" / "z.m3u8", "b.mp3\n");
  WriteFile(Computer() / "Mixed" / "list.M3U", "a.mp3\n");

  const float size = koral::SelectionSize(Computer().string(), {"Album", "Mixed"}, true);
  const koral::CopyResult result = Copy({"Album", "Mixed"}, PlaylistOptions());

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(plan.fileTotal, 3);
  EXPECT_FLOAT_EQ(size, static_cast<float>(10 + 1 + 1) / 1048576.0f);
  EXPECT_EQ(EntryNames(Player() / "Album"), (std::vector<std::string>{"01 - " + name, "02 - b.mp3"}));
  EXPECT_EQ(EntryNames(Player() / "Mixed"), (std::vector<std::string>{"01 - a.mp3"}));  // the m3u comes first
}

TEST_F(CopyEngineTest, LongPlaylistLineWithAFolderPartIsReadWholeAndNumberedByItsFileName) {
  const std::string folder(200, 'd');
  const std::string file = std::string(95, 'f') + ".mp3";
  const std::string line = folder + "\\" + file;  // 300 characters, Windows separator
  ASSERT_EQ(line.size(), 300u);
  WriteFile(Computer() / "Album" / folder / file, "long");
  WriteFile(Computer() / "Album" / "list.m3u", "#EXTM3U\n#EXTINF:1,x\n" + line + "\n");

  const koral::CopyResult result = Copy({"Album"}, PlaylistOptions());

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(ReadFile(Player() / "Album" / ("01 - " + file)), "long");
}

TEST_F(CopyEngineTest, FolderWithoutPlaylistIsLeftOutSilently) {
  WriteFile(Computer() / "Album" / "a.mp3", "a");
  const koral::CopyResult result = Copy({"Album"}, PlaylistOptions());
  EXPECT_TRUE(result.failures.empty());
  EXPECT_FALSE(fs::exists(Player() / "Album"));
}

TEST_F(CopyEngineTest, MissingPlaylistEntryIsReportedAndTheNumbersKeepThePlaylistPositions) {
  WriteFile(Computer() / "Album" / "a.mp3", "a");
  WriteFile(Computer() / "Album" / "c.mp3", "c");
  WriteFile(Computer() / "Album" / "list.m3u", "a.mp3\ngone.mp3\nc.mp3\n");

  const koral::CopyResult result = Copy({"Album"}, PlaylistOptions());

  EXPECT_EQ(plan.fileTotal, 2);
  EXPECT_EQ(EntryNames(Player() / "Album"), (std::vector<std::string>{"01 - a.mp3", "03 - c.mp3"}));
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].path, (Computer() / "Album" / "gone.mp3").string());
  EXPECT_EQ(result.failures[0].fault, koral::CopyFault::SourceMissing);
  const std::string report = koral::FormatCopyReport(result.failures, result.stoppedOnFullPlayer);
  EXPECT_NE(report.find("gone.mp3 : fichier introuvable"), std::string::npos) << report;
}

TEST_F(CopyEngineTest, UnreadablePlaylistStopsThePlanBeforeAnythingIsCopied) {
  WriteFile(Computer() / "Album" / "a.mp3", "a");
  fs::create_symlink("nowhere.m3u", Computer() / "Album" / "list.m3u");  // found, but cannot be read
  EXPECT_THROW(Copy({"Album"}, PlaylistOptions()), koral::PlaylistUnreadable);
  EXPECT_FALSE(fs::exists(Player() / "Album"));
}

TEST_F(CopyEngineTest, ChunkBoundaryAndEmptyFilesAreCopiedByteForByteWithTruthfulProgress) {
  WriteFile(Computer() / "exact.bin", Content("exact", 307200));
  WriteFile(Computer() / "empty.bin", "");
  WriteFile(Computer() / "odd.bin", Content("odd", 3 * 307200 + 17));

  const koral::CopyResult result = Copy({"exact.bin", "empty.bin", "odd.bin"});

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(ReadFile(Player() / "exact.bin"), Content("exact", 307200));
  EXPECT_TRUE(fs::exists(Player() / "empty.bin"));
  EXPECT_EQ(fs::file_size(Player() / "empty.bin"), 0u);
  EXPECT_EQ(ReadFile(Player() / "odd.bin"), Content("odd", 3 * 307200 + 17));
  // Each file is told at its start and after every call that copied bytes,
  // never beyond its size; the empty file only at its start.
  ASSERT_GE(observer.calls.size(), 2u + 1u + 2u);
  EXPECT_EQ(observer.calls[1].fileDone, 307200u);
  EXPECT_EQ(observer.calls[2].fileSize, 0u);
  EXPECT_EQ(observer.calls[2].fileNumber, 2);
  EXPECT_EQ(observer.calls[3].fileNumber, 3);
  EXPECT_EQ(observer.calls[3].fileDone, 0u);
  for (size_t i = 1; i < observer.calls.size(); ++i) {
    EXPECT_LE(observer.calls[i].fileDone, observer.calls[i].fileSize);
    EXPECT_GE(observer.calls[i].totalDone, observer.calls[i - 1].totalDone);
  }
  const koral::CopyProgress& last = observer.calls.back();
  EXPECT_EQ(last.fileNumber, 3);
  EXPECT_EQ(last.fileTotal, 3);
  EXPECT_EQ(last.totalDone, last.totalSize);
  EXPECT_EQ(last.totalSize, 307200u + 3 * 307200u + 17u);
}

TEST_F(CopyEngineTest, CopyToAnotherFileSystemGoesThroughTheBufferWithTheSameBytes) {
  struct stat here {
  }, there{};
  if (stat(Player().c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev)
    GTEST_SKIP() << "no second file system at hand";
  WriteFile(Computer() / "a.bin", Content("cross", 3 * 307200 + 5));
  const fs::path folder = fs::path("/dev/shm") / m_dir.Path().filename();
  fs::create_directories(folder);
  koral::CopyJob job;
  job.sources = {(Computer() / "a.bin").string()};
  job.destinations = {(folder / "a.bin").string()};
  plan = koral::BuildCopyPlan(job);
  const koral::CopyResult result = koral::CCopyEngine(job.options, observer).Run(plan);
  const std::string copied = ReadFile(folder / "a.bin");
  fs::remove_all(folder);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(copied, Content("cross", 3 * 307200 + 5));
  EXPECT_EQ(observer.calls.size(), 1u + 4u);  // start, then four chunks
}

TEST_F(CopyEngineTest, TotalOfSmallFilesCountsEveryByte) {
  WriteFile(Computer() / "a.txt", std::string(1000, 'a'));
  WriteFile(Computer() / "b.txt", std::string(23, 'b'));
  Copy({"a.txt", "b.txt"});
  EXPECT_EQ(plan.totalBytes, 1023u);
  EXPECT_EQ(observer.calls.back().totalDone, 1023u);
}

TEST_F(CopyEngineTest, TreeIsMergedIntoAnExistingFolderAndExistingFilesAreOverwritten) {
  WriteFile(Computer() / "Music" / "a.mp3", "new a");
  WriteFile(Computer() / "Music" / "Live" / "b.mp3", "new b");
  WriteFile(Computer() / "Music" / "list.m3u", "a.mp3\n");
  WriteFile(Player() / "Music" / "a.mp3", "old a, longer than the new one");
  WriteFile(Player() / "Music" / "kept.mp3", "kept");

  const koral::CopyResult result = Copy({"Music"});

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(ReadFile(Player() / "Music" / "a.mp3"), "new a");
  EXPECT_EQ(ReadFile(Player() / "Music" / "Live" / "b.mp3"), "new b");
  EXPECT_EQ(ReadFile(Player() / "Music" / "list.m3u"), "a.mp3\n");
  EXPECT_EQ(ReadFile(Player() / "Music" / "kept.mp3"), "kept");
}

TEST_F(CopyEngineTest, SameFileAndFolderIntoItselfAreReportedAndLeftIntact) {
  WriteFile(Player() / "song.mp3", "precious");
  WriteFile(Player() / "Dir" / "x.mp3", "x");
  koral::CopyJob job;
  job.sources = {(Player() / "song.mp3").string(), (Player() / "Dir").string(), (Player() / "..").string()};
  job.destinations = {(Player() / "song.mp3").string(), (Player() / "Dir" / "Dir").string(),
                      (Player() / "Dir" / "..").string()};
  plan = koral::BuildCopyPlan(job);
  koral::CCopyEngine engine(job.options, observer);
  const koral::CopyResult result = engine.Run(plan);

  EXPECT_EQ(ReadFile(Player() / "song.mp3"), "precious");
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].fault, koral::CopyFault::SameFile);
  ASSERT_EQ(plan.refused.size(), 1u);  // ".." is dropped without a word
  EXPECT_EQ(plan.refused[0].fault, koral::CopyFault::FolderIntoItself);
  EXPECT_EQ(EntryNames(Player() / "Dir"), (std::vector<std::string>{"x.mp3"}));
}

TEST_F(CopyEngineTest, PlaylistFolderCopiedOntoItselfIsRefusedAndNoTrackIsOverwritten) {
  WriteFile(Player() / "Album" / "02.mp3", "second track");
  WriteFile(Player() / "Album" / "01.mp3", "first track");
  WriteFile(Player() / "Album" / "list.m3u", "02.mp3\n01.mp3\n");
  koral::CopyJob job;
  job.sources = {(Player() / "Album").string()};
  job.destinations = {(Player() / "Album").string()};
  job.options = PlaylistOptions(true);
  plan = koral::BuildCopyPlan(job);
  const koral::CopyResult result = koral::CCopyEngine(job.options, observer).Run(plan);

  ASSERT_EQ(plan.refused.size(), 1u);
  EXPECT_EQ(plan.refused[0].fault, koral::CopyFault::FolderIntoItself);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(ReadFile(Player() / "Album" / "01.mp3"), "first track");
  EXPECT_EQ(ReadFile(Player() / "Album" / "02.mp3"), "second track");
}

TEST_F(CopyEngineTest, DestinationNamesAreMadeVfatSafe) {
  WriteFile(Computer() / "What? Live" / "a:b.mp3", "ab");
  WriteFile(Computer() / "What? Live" / "list.m3u", "a:b.mp3\n");
  WriteFile(Computer() / "Intro. ", "intro");

  Copy({"What? Live", "Intro. "});
  EXPECT_EQ(ReadFile(Player() / "What_ Live" / "a_b.mp3"), "ab");
  EXPECT_EQ(ReadFile(Player() / "Intro"), "intro");

  Copy({"What? Live"}, PlaylistOptions());
  EXPECT_EQ(ReadFile(Player() / "What_ Live" / "01 - a_b.mp3"), "ab");
}

TEST_F(CopyEngineTest, FilesThatFallOnOneNameOnTheFatPlayerAreRefusedBeforeTheCopyButTheFirst) {
  WriteFile(Computer() / "Dir" / "a?.mp3", "first");
  WriteFile(Computer() / "Dir" / "a*.mp3", "second");
  WriteFile(Computer() / "Dir" / "Song.mp3", "song");
  WriteFile(Computer() / "Dir" / "song.mp3", "other song");

  const koral::CopyResult result = Copy({"Dir"});

  EXPECT_TRUE(result.failures.empty());
  ASSERT_EQ(plan.refused.size(), 2u);
  EXPECT_EQ(plan.refused[0].fault, koral::CopyFault::NameTaken);
  EXPECT_EQ(plan.fileTotal, 2);
  EXPECT_EQ(result.filesCopied, 2);
  std::set<std::string> refused;  // the listing's order decides which of each pair comes first
  for (const koral::CopyFailure& failure : plan.refused) refused.insert(fs::path(failure.path).filename().string());
  ASSERT_EQ(refused.count("a?.mp3") + refused.count("a*.mp3"), 1u);
  ASSERT_EQ(refused.count("Song.mp3") + refused.count("song.mp3"), 1u);
  const std::string keptA = refused.count("a?.mp3") ? "a*.mp3" : "a?.mp3";
  const std::string keptSong = refused.count("Song.mp3") ? "song.mp3" : "Song.mp3";
  const std::vector<std::string> names = EntryNames(Player() / "Dir");
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), (std::set<std::string>{"a_.mp3", keptSong}));
  EXPECT_EQ(ReadFile(Player() / "Dir" / "a_.mp3"), ReadFile(Computer() / "Dir" / keptA));
  EXPECT_EQ(ReadFile(Player() / "Dir" / keptSong), ReadFile(Computer() / "Dir" / keptSong));
  EXPECT_NE(koral::FormatRefusedReport(plan.refused).find("un autre fichier de la copie porte déjà ce nom"),
            std::string::npos);
}

TEST_F(CopyEngineTest, FileTooBigForThePlayerIsRefusedBeforeTheCopyAndTheOthersAreCopied) {
  WriteFile(Computer() / "big.bin", std::string(2000, 'b'));
  WriteFile(Computer() / "small.bin", "small");

  const koral::CopyResult result = Copy({"big.bin", "small.bin"}, {}, 1999);

  ASSERT_EQ(plan.refused.size(), 1u);
  EXPECT_EQ(plan.refused[0].fault, koral::CopyFault::TooBigForPlayer);
  EXPECT_EQ(plan.fileTotal, 1);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_FALSE(fs::exists(Player() / "big.bin"));
  EXPECT_EQ(ReadFile(Player() / "small.bin"), "small");
  EXPECT_NE(koral::FormatRefusedReport(plan.refused).find("4 Go"), std::string::npos);
}

TEST_F(CopyEngineTest, UnwritableDestinationIsReportedAndTheCopyGoesOn) {
  WriteFile(Computer() / "a.mp3", "a");
  WriteFile(Computer() / "b.mp3", "b");
  koral::CopyJob job;
  job.sources = {(Computer() / "a.mp3").string(), (Computer() / "b.mp3").string()};
  WriteFile(Player() / "blocker", "a file, not a folder");
  job.destinations = {(Player() / "blocker" / "a.mp3").string(), (Player() / "b.mp3").string()};
  plan = koral::BuildCopyPlan(job);
  koral::CCopyEngine engine(job.options, observer);
  const koral::CopyResult result = engine.Run(plan);

  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].fault, koral::CopyFault::DestinationUnwritable);
  EXPECT_EQ(ReadFile(Player() / "b.mp3"), "b");
  EXPECT_EQ(result.filesCopied, 1);
}

TEST_F(CopyEngineTest, LinksOnThePlayerThatLeadOffItAreNeitherFollowedNorWrittenThrough) {
  WriteFile(Computer() / "Music" / "a.mp3", "a");
  WriteFile(Computer() / "Music" / "Live" / "b.mp3", "b");
  WriteFile(Computer() / "song.mp3", "new");
  WriteFile(Computer() / "Album" / "c.mp3", "c");
  WriteFile(Computer() / "Album" / "list.m3u", "c.mp3\n");
  WriteFile(Computer() / "next.mp3", "next");
  const fs::path elsewhere = m_dir / "elsewhere";
  WriteFile(elsewhere / "song.mp3", "precious");
  fs::create_symlink(elsewhere, Player() / "Music");
  fs::create_symlink(elsewhere / "song.mp3", Player() / "song.mp3");
  WriteFile(Player() / "Blocked", "a file where the folder goes");

  koral::CopyResult result = Copy({"Music", "song.mp3", "next.mp3"});
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].path, (Player() / "Music").string());  // one report for the folder
  EXPECT_EQ(result.failures[1].path, (Player() / "song.mp3").string());
  EXPECT_EQ(ReadFile(Player() / "next.mp3"), "next");
  EXPECT_EQ(EntryNames(elsewhere), (std::vector<std::string>{"song.mp3"}));
  EXPECT_EQ(ReadFile(elsewhere / "song.mp3"), "precious");
  const std::string report = koral::FormatCopyReport(result.failures, false);
  EXPECT_NE(report.find("Music : écriture impossible (un lien symbolique porte ce nom"), std::string::npos) << report;

  fs::rename(Computer() / "Music", Computer() / "Blocked");
  result = Copy({"Blocked"});
  ASSERT_EQ(result.failures.size(), 1u);
  const std::string blocked = koral::FormatCopyReport(result.failures, false);
  EXPECT_NE(blocked.find("Blocked : écriture impossible (un fichier porte déjà ce nom"), std::string::npos) << blocked;

  fs::remove(Player() / "Music");
  fs::create_symlink(elsewhere, Player() / "Album");
  result = Copy({"Album"}, PlaylistOptions());
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(EntryNames(elsewhere), (std::vector<std::string>{"song.mp3"}));
}

TEST_F(CopyEngineTest, EachChunkCommittedInWindows98ModeGivesTheSameBytes) {
  WriteFile(Computer() / "a.bin", Content("w98", 700000));
  koral::CopyOptions options;
  options.syncEachChunk = true;
  const koral::CopyResult result = Copy({"a.bin"}, options);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(ReadFile(Player() / "a.bin"), Content("w98", 700000));
}

TEST_F(CopyEngineTest, FullPlayerStopsTheCopyAndLeavesNoPartialFile) {
  if (mount("tmpfs", Player().c_str(), "tmpfs", 0, "size=512k") != 0)
    GTEST_SKIP() << "a small volume cannot be mounted here";
  WriteFile(Computer() / "big.bin", Content("big", 2 * 1024 * 1024));
  WriteFile(Computer() / "next.bin", "next");

  const koral::CopyResult result = Copy({"big.bin", "next.bin"});
  const bool bigLeft = fs::exists(Player() / "big.bin");
  const bool nextCopied = fs::exists(Player() / "next.bin");
  umount(Player().c_str());

  EXPECT_TRUE(result.stoppedOnFullPlayer);
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].fault, koral::CopyFault::PlayerFull);
  EXPECT_FALSE(bigLeft);
  EXPECT_FALSE(nextCopied);
  EXPECT_NE(koral::FormatCopyReport(result.failures, true).find("la copie a été arrêtée"), std::string::npos);
}

TEST_F(CopyEngineTest, AFullPlayerNamesTheFilesItNeverReached) {
  if (mount("tmpfs", Player().c_str(), "tmpfs", 0, "size=512k") != 0)
    GTEST_SKIP() << "a small volume cannot be mounted here";
  WriteFile(Computer() / "small.bin", "small");
  WriteFile(Computer() / "big.bin", Content("big", 2 * 1024 * 1024));
  WriteFile(Computer() / "Dir" / "next.bin", "next");
  WriteFile(Computer() / "last.bin", "last");

  const koral::CopyResult result = Copy({"small.bin", "big.bin", "Dir", "last.bin"});
  umount(Player().c_str());

  EXPECT_TRUE(result.stoppedOnFullPlayer);
  EXPECT_EQ(result.notTried,
            (std::vector<std::string>{(Computer() / "Dir" / "next.bin").string(), (Computer() / "last.bin").string()}));
  EXPECT_EQ(result.written, (std::vector<std::string>{(Player() / "small.bin").string()}));
  const std::string report = koral::FormatCopyReport(result.failures, true, result.notTried, 1);
  EXPECT_TRUE(report.ends_with("la copie a été arrêtée, 2 non copiés :\nnon copié : " +
                               (Computer() / "Dir" / "next.bin").string() + "\n... et 1 autre."))
      << report;
}

TEST_F(CopyEngineTest, OnAReadOnlyPlayerNoNameIsToldAsChanged) {
  if (mount("tmpfs", Player().c_str(), "tmpfs", MS_RDONLY, "size=512k") != 0)
    GTEST_SKIP() << "a read-only volume cannot be mounted here";
  WriteFile(Computer() / "a:b.mp3", "ab");
  WriteFile(Computer() / "Live?" / "x*.mp3", "x");

  const koral::CopyResult result = Copy({"a:b.mp3", "Live?"});
  umount(Player().c_str());

  EXPECT_EQ(plan.renames.size(), 3u);
  EXPECT_EQ(result.failures.size(), 2u);  // the file, and the folder (nothing is tried inside it)
  EXPECT_TRUE(result.written.empty());
  EXPECT_TRUE(koral::WrittenRenames(plan, result.written).empty());
}

TEST_F(CopyEngineTest, PipeInATreeIsReportedInsteadOfBlockingTheCopy) {
  WriteFile(Computer() / "Dir" / "a.mp3", "a");
  ASSERT_EQ(mkfifo((Computer() / "Dir" / "pipe").c_str(), 0600), 0);
  const koral::CopyResult result = Copy({"Dir"});
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].fault, koral::CopyFault::NotRegularFile);
  EXPECT_EQ(ReadFile(Player() / "Dir" / "a.mp3"), "a");
}

TEST_F(CopyEngineTest, AnExistingTrackStaysWholeUntilItsReplacementIsComplete) {
  WriteFile(Computer() / "Album" / "a.mp3", Content("new a", 3 * 307200 + 11));
  WriteFile(Player() / "Album" / "a.mp3", "the old a");
  std::vector<std::string> seen;
  observer.duringCopy = [&](const koral::CopyProgress& progress) {
    seen.push_back(ReadFile(Player() / "Album" / "a.mp3"));
    if (progress.fileDone > 0) {
      EXPECT_FALSE(TemporaryOf(Player(), "a.mp3").empty());
      // Nothing but final names among the tracks: on FAT a freed entry would take a later track's name.
      EXPECT_EQ(EntryNames(Player() / "Album"), (std::vector<std::string>{"a.mp3"}));
    }
  };

  const koral::CopyResult result = Copy({"Album"});

  EXPECT_TRUE(result.failures.empty());
  ASSERT_GE(seen.size(), 2u);  // at the start and after the bytes were copied
  EXPECT_EQ(seen, std::vector<std::string>(seen.size(), "the old a"));
  EXPECT_TRUE(ReadFile(Player() / "Album" / "a.mp3") == Content("new a", 3 * 307200 + 11));
  EXPECT_EQ(EntryNames(Player() / "Album"), std::vector<std::string>{"a.mp3"});
}

TEST_F(CopyEngineTest, AStopDropsTheFileBeingWrittenAndKeepsTheFinishedOnesUnderTheirNames) {
  WriteFile(Computer() / "a.mp3", Content("a", 100 * 1024));
  WriteFile(Computer() / "b.mp3", Content("b", 12 * 1024 * 1024));  // more than one call's bytes
  WriteFile(Computer() / "c.mp3", Content("c", 100));
  WriteFile(Player() / "b.mp3", "the old b");
  std::stop_source stop;
  std::chrono::steady_clock::time_point stoppedAt;
  observer.duringCopy = [&](const koral::CopyProgress& progress) {
    if (progress.fileNumber != 2 || progress.fileDone == 0 || stop.stop_requested()) return;
    EXPECT_FALSE(TemporaryOf(Player(), "b.mp3").empty());
    stoppedAt = std::chrono::steady_clock::now();
    stop.request_stop();
  };
  koral::CopyJob job;
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) {
    job.sources.push_back((Computer() / name).string());
    job.destinations.push_back((Player() / name).string());
  }
  plan = koral::BuildCopyPlan(job);

  const koral::CopyResult result = koral::CCopyEngine({}, observer, stop.get_token()).Run(plan);

  ASSERT_TRUE(stop.stop_requested());
  EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, std::chrono::seconds(1));
  EXPECT_TRUE(result.cancelled);
  EXPECT_TRUE(result.failures.empty());  // a file dropped on request is no failure
  EXPECT_EQ(result.filesCopied, 1);
  EXPECT_TRUE(ReadFile(Player() / "a.mp3") == Content("a", 100 * 1024));
  EXPECT_EQ(ReadFile(Player() / "b.mp3"), "the old b");                           // no real name touched
  EXPECT_EQ(EntryNames(Player()), (std::vector<std::string>{"a.mp3", "b.mp3"}));  // no temporary left
  EXPECT_EQ(observer.calls.back().fileNumber, 2);                                 // c never started

  // Asked before the copy begins, the stop copies nothing.
  fs::remove(Player() / "a.mp3");
  const koral::CopyResult none = koral::CCopyEngine({}, observer, stop.get_token()).Run(plan);
  EXPECT_TRUE(none.cancelled);
  EXPECT_EQ(none.filesCopied, 0);
  EXPECT_EQ(EntryNames(Player()), std::vector<std::string>{"b.mp3"});
}

TEST_F(CopyEngineTest, LeftoversOfDeadRunsGoWhenACopyBeginsAndThoseOfARunningCopyStay) {
  WriteFile(Computer() / "Music" / "a.mp3", "a");
  const fs::path partial = Player() / ".koral-part";
  WriteFile(partial / "run-1-dead" / ".lock", "");
  WriteFile(partial / "run-1-dead" / "3.cut.mp3.koral-part", "cut off");
  WriteFile(partial / "run-2-live" / ".lock", "");
  WriteFile(partial / "run-2-live" / "1.being-written.mp3.koral-part", "still being written");
  WriteFile(partial / ".old.mp3.koral-part", "left by a version without run folders");
  WriteFile(Player() / "Music" / ".hidden", "the user's own");
  const koral::FileDescriptor live(open((partial / "run-2-live" / ".lock").c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_EQ(flock(live.Get(), LOCK_EX), 0);

  const koral::CopyResult result = Copy({"Music"});

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(EntryNames(Player() / "Music"), (std::vector<std::string>{".hidden", "a.mp3"}));
  EXPECT_EQ(EntryNames(partial), std::vector<std::string>{"run-2-live"});
  EXPECT_EQ(ReadFile(partial / "run-2-live" / "1.being-written.mp3.koral-part"), "still being written");

  // The window's start and koralctl's clean up the same way, without copying.
  flock(live.Get(), LOCK_UN);
  koral::RemoveDeadCopyRuns(Player().string());
  EXPECT_EQ(EntryNames(Player()), (std::vector<std::string>{"Music"}));
}

TEST_F(CopyEngineTest, WhatStandsInPlaceOfTheFolderOfTemporariesIsLeftAloneAndTheFilesReported) {
  WriteFile(Computer() / "b.mp3", "b");
  WriteFile(Player() / ".koral-part", "the user's own file");
  koral::CopyResult result = Copy({"b.mp3"});
  ASSERT_EQ(result.failures.size(), 1u);
  std::string report = koral::FormatCopyReport(result.failures, false);
  EXPECT_NE(report.find("b.mp3 : écriture impossible ("), std::string::npos) << report;
  EXPECT_EQ(ReadFile(Player() / ".koral-part"), "the user's own file");
  EXPECT_FALSE(fs::exists(Player() / "b.mp3"));

  const fs::path elsewhere = m_dir / "elsewhere";
  fs::create_directories(elsewhere);
  fs::remove(Player() / ".koral-part");
  fs::create_directory_symlink(elsewhere, Player() / ".koral-part");  // would lead off the player
  result = Copy({"b.mp3"});
  ASSERT_EQ(result.failures.size(), 1u);
  report = koral::FormatCopyReport(result.failures, false);
  EXPECT_NE(report.find("b.mp3 : écriture impossible (un lien symbolique porte ce nom"), std::string::npos) << report;
  EXPECT_TRUE(fs::is_empty(elsewhere));
  EXPECT_FALSE(fs::exists(Player() / "b.mp3"));
}

TEST_F(CopyEngineTest, AnEntryNamedLikeTheFolderOfTemporariesIsRefusedBeforeTheCopy) {
  WriteFile(Computer() / "Dir" / ".koral-part", "would be taken for the copy's own");
  WriteFile(Computer() / "Dir" / ".KORAL-PART" / "x.mp3", "x");
  WriteFile(Computer() / "Dir" / "b.mp3", "b");
  const koral::CopyResult result = Copy({"Dir"});
  ASSERT_EQ(plan.refused.size(), 2u);
  for (const koral::CopyFailure& refused : plan.refused) EXPECT_EQ(refused.fault, koral::CopyFault::NameReserved);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(EntryNames(Player() / "Dir"), std::vector<std::string>{"b.mp3"});
  EXPECT_NE(koral::FormatRefusedReport(plan.refused).find(".koral-part : ce nom est réservé"), std::string::npos);
}

TEST_F(CopyEngineTest, ASourceThatShrinksOrGrowsWhileCopiedIsReportedAndLeavesNothing) {
  const size_t size = koral::kLargestCallBytes + 307200;  // told at least once in the middle
  for (const char* name : {"shrinks.bin", "grows.bin", "steady.bin"}) WriteFile(Computer() / name, Content(name, size));
  observer.duringCopy = [&](const koral::CopyProgress& progress) {
    if (progress.fileDone == 0 || progress.fileDone == size) return;  // in the middle
    const fs::path source = progress.source;
    if (source.filename() == "shrinks.bin") fs::resize_file(source, size / 2);
    if (source.filename() == "grows.bin") fs::resize_file(source, size + 1);
  };

  const koral::CopyResult result = Copy({"shrinks.bin", "grows.bin", "steady.bin"});

  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].path, (Computer() / "shrinks.bin").string());
  EXPECT_EQ(result.failures[1].path, (Computer() / "grows.bin").string());
  for (const koral::CopyFailure& failure : result.failures) EXPECT_EQ(failure.fault, koral::CopyFault::SourceChanged);
  EXPECT_EQ(EntryNames(Player()), std::vector<std::string>{"steady.bin"});
  EXPECT_EQ(result.filesCopied, 1);
  EXPECT_NE(koral::FormatCopyReport(result.failures, false).find("grows.bin : le fichier a changé de taille"),
            std::string::npos);
}

TEST_F(CopyEngineTest, AFolderThatCannotBeListedIsReportedAndNotMadeOnThePlayer) {
  WriteFile(Computer() / "Music" / "a.mp3", "a");
  WriteFile(Computer() / "Music" / "Locked" / "b.mp3", "b");
  WriteFile(Computer() / "Album" / "c.mp3", "c");
  WriteFile(Computer() / "Album" / "list.m3u", "c.mp3\n");
  fs::permissions(m_dir.Path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
  fs::permissions(Computer() / "Music" / "Locked", fs::perms::none);
  fs::permissions(Computer() / "Album", fs::perms::none);

  koral::CopyJob job;
  for (const char* name : {"Music", "Album"}) {
    job.sources.push_back((Computer() / name).string());
    job.destinations.push_back((Player() / name).string());
  }
  koral::CopyPlan tree, playlist;
  {
    const koral::test::UnprivilegedAccess unprivileged;
    tree = koral::BuildCopyPlan(job);
    job.options.followPlaylist = true;
    playlist = koral::BuildCopyPlan(job);
  }
  const koral::CopyResult result = koral::CCopyEngine({}, observer).Run(tree);

  ASSERT_EQ(tree.refused.size(), 2u);
  EXPECT_EQ(tree.refused[0].path, (Computer() / "Music" / "Locked").string());
  EXPECT_EQ(tree.refused[0].fault, koral::CopyFault::SourceUnreadable);
  EXPECT_EQ(tree.refused[0].error, EACCES);
  EXPECT_EQ(tree.refused[1].path, (Computer() / "Album").string());
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(EntryNames(Player()), std::vector<std::string>{"Music"});
  EXPECT_EQ(EntryNames(Player() / "Music"), std::vector<std::string>{"a.mp3"});
  ASSERT_EQ(playlist.refused.size(), 1u);  // not taken for a folder without a playlist
  EXPECT_EQ(playlist.refused[0].path, (Computer() / "Album").string());
  EXPECT_NE(koral::FormatRefusedReport(tree.refused).find("Locked : lecture impossible (accès refusé)"),
            std::string::npos);
}

TEST_F(CopyEngineTest, ManySmallFilesUnderALowDescriptorLimitAreAllCopiedInOrder) {
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    names.push_back("track" + std::to_string(1000 + i) + ".mp3");
    WriteFile(Computer() / "Album" / names.back(), Content(names.back(), 2000 + 10 * i));
  }
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  struct rlimit low = saved;
  low.rlim_cur = 64;  // the files on their way must stay well below it
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  const koral::CopyResult result = Copy({"Album"});
  setrlimit(RLIMIT_NOFILE, &saved);

  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(result.filesCopied, 300);
  EXPECT_EQ(EntryNames(Player() / "Album"), names);
  for (size_t i = 0; i < names.size(); ++i)
    EXPECT_TRUE(ReadFile(Player() / "Album" / names[i]) == Content(names[i], 2000 + 10 * i)) << names[i];
}
