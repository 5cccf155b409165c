// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/WritebackQueue.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "core/copy/WritebackWindow.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

namespace fs = std::filesystem;
using test::EntryNames;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// A copied file under its temporary name, open as the copy leaves it.
StagedFile Staged(const fs::path& folder, const std::string& name, const std::string& bytes) {
  const fs::path temporary = folder / ("." + name + ".part");
  WriteFile(temporary, bytes);
  StagedFile staged;
  staged.file = FileDescriptor(open(temporary.c_str(), O_RDWR | O_CLOEXEC));
  staged.temporary = temporary.string();
  staged.final = (folder / name).string();
  staged.size = bytes.size();
  staged.unconfirmedBytes = bytes.size();
  return staged;
}

// Everything published or failed, whatever the calls it came in.
struct Outcome {
  std::vector<std::string> paths;
  std::vector<CopyFailure> failures;
  void Take(CWritebackQueue& queue) {
    PublishedFiles published = queue.TakePublished();
    paths.insert(paths.end(), published.paths.begin(), published.paths.end());
    failures.insert(failures.end(), published.failures.begin(), published.failures.end());
  }
};

std::string Name(int i) { return "track" + std::to_string(100 + i) + ".mp3"; }

class WritebackQueueTest : public ::testing::Test {
 protected:
  TempDir folder;
  CWritebackWindow window;
};

TEST_F(WritebackQueueTest, FilesTakeTheirFinalNamesInTheOrderAddedOnceAllIsConfirmed) {
  Outcome outcome;
  std::vector<std::string> expected;
  {
    CWritebackQueue queue(window);
    for (int i = 0; i < 30; ++i) {
      queue.Add(Staged(folder.Path(), Name(i), std::string(static_cast<size_t>(1000 + i), static_cast<char>(i))));
      expected.push_back((folder / Name(i)).string());
    }
    queue.WaitDownTo(0, 0);
    EXPECT_EQ(queue.UnconfirmedBytes(), 0u);
    outcome.Take(queue);
    EXPECT_TRUE(queue.TakePublished().paths.empty());  // each file is told once
  }
  EXPECT_EQ(outcome.paths, expected);
  EXPECT_TRUE(outcome.failures.empty());
  for (int i = 0; i < 30; ++i)
    EXPECT_EQ(ReadFile(folder / Name(i)), std::string(static_cast<size_t>(1000 + i), static_cast<char>(i)));
  EXPECT_EQ(EntryNames(folder.Path()).size(), 30u);  // no temporary left
}

TEST_F(WritebackQueueTest, WaitingBoundsTheBytesAndFilesNotYetConfirmed) {
  CWritebackQueue queue(window);
  Outcome outcome;
  const std::string bytes(100 * 1024, 'x');
  for (int i = 0; i < 10; ++i) queue.Add(Staged(folder.Path(), Name(i), bytes));
  queue.WaitDownTo(150 * 1024, 2);
  EXPECT_LE(queue.UnconfirmedBytes(), 150u * 1024);
  outcome.Take(queue);
  EXPECT_GE(outcome.paths.size(), 8u);
  queue.WaitDownTo(0, 0);
  outcome.Take(queue);
  ASSERT_EQ(outcome.paths.size(), 10u);
  EXPECT_EQ(outcome.paths.front(), (folder / Name(0)).string());
  EXPECT_EQ(outcome.paths.back(), (folder / Name(9)).string());
}

TEST_F(WritebackQueueTest, AFileThatCannotBeConfirmedNeverReplacesTheTrackUnderItsNameAndTheOthersGoOn) {
  WriteFile(folder / Name(1), "the track already there");
  int pipeEnds[2];
  ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
  const FileDescriptor writeEnd(pipeEnds[1]);
  StagedFile unconfirmable = Staged(folder.Path(), Name(1), "new bytes");
  unconfirmable.file = FileDescriptor(pipeEnds[0]);  // no writeback to wait for on a pipe

  Outcome outcome;
  {
    CWritebackQueue queue(window);
    queue.Add(Staged(folder.Path(), Name(0), "first"));
    queue.Add(std::move(unconfirmable));
    queue.Add(Staged(folder.Path(), Name(2), "third"));
    queue.WaitDownTo(0, 0);
    outcome.Take(queue);
  }
  EXPECT_EQ(outcome.paths, (std::vector<std::string>{(folder / Name(0)).string(), (folder / Name(2)).string()}));
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].path, (folder / Name(1)).string());
  EXPECT_EQ(outcome.failures[0].fault, CopyFault::NotSynced);
  EXPECT_EQ(outcome.failures[0].error, ESPIPE);
  EXPECT_EQ(ReadFile(folder / Name(1)), "the track already there");
  EXPECT_EQ(EntryNames(folder.Path()), (std::vector<std::string>{Name(0), Name(1), Name(2)}));
}

TEST_F(WritebackQueueTest, AFileThatCannotBeNamedIsReportedAndItsTemporaryGoes) {
  WriteFile(folder / Name(0) / "inside", "a folder where the file should go");
  Outcome outcome;
  {
    CWritebackQueue queue(window);
    queue.Add(Staged(folder.Path(), Name(0), "refused"));
    queue.Add(Staged(folder.Path(), Name(1), "named"));
    queue.WaitDownTo(0, 0);
    outcome.Take(queue);
  }
  EXPECT_EQ(outcome.paths, std::vector<std::string>{(folder / Name(1)).string()});
  ASSERT_EQ(outcome.failures.size(), 1u);
  EXPECT_EQ(outcome.failures[0].fault, CopyFault::DestinationUnwritable);
  EXPECT_EQ(ReadFile(folder / Name(0) / "inside"), "a folder where the file should go");
  EXPECT_EQ(EntryNames(folder.Path()), (std::vector<std::string>{Name(0), Name(1)}));
}

TEST_F(WritebackQueueTest, AStoppedWaitReturnsAndWhatIsNotPublishedAtTheEndIsRemovedNeverNamed) {
  std::stop_source stop;
  stop.request_stop();
  {
    CWritebackQueue queue(window);
    for (int i = 0; i < 50; ++i) queue.Add(Staged(folder.Path(), Name(i), std::string(4096, 'a')));
    queue.WaitDownTo(0, 0, stop.get_token());  // returns at once: the copy is being stopped
  }
  // Each file is either whole under its final name or gone: never a
  // temporary left, never a final name on a file cut short.
  for (const std::string& name : EntryNames(folder.Path())) {
    EXPECT_EQ(name.rfind("track", 0), 0u) << name;
    EXPECT_EQ(ReadFile(folder / name), std::string(4096, 'a')) << name;
  }
}

}  // namespace
}  // namespace koral
