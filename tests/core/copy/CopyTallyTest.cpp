// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyTally.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

koral::CopyProgress Progress(int fileNumber, const std::string& name, std::uint64_t done, std::uint64_t size) {
  koral::CopyProgress progress;
  progress.fileNumber = fileNumber;
  progress.source = "/computer/" + name;
  progress.destination = "/player/" + name;
  progress.fileDone = done;
  progress.fileSize = size;
  return progress;
}

}  // namespace

TEST(CopyTallyTest, CountsTheFilesTransferredWholeAndNotNamedByAFailure) {
  koral::CCopyTally tally;
  tally.OnProgress(Progress(1, "whole.mp3", 0, 1000));
  tally.OnProgress(Progress(1, "whole.mp3", 1000, 1000));
  tally.OnProgress(Progress(2, "cut.mp3", 300, 5000));
  tally.OnProgress(Progress(3, "empty.mp3", 0, 0));
  tally.OnProgress(Progress(4, "unsynced.mp3", 70, 70));
  tally.OnProgress(Progress(5, "grew.mp3", 9, 9));

  const std::vector<koral::CopyFailure> failures = {{"/player/cut.mp3", koral::CopyFault::PlayerFull, 28},
                                                    {"/player/unsynced.mp3", koral::CopyFault::NotSynced, 5},
                                                    {"/computer/grew.mp3", koral::CopyFault::SourceChanged, 0}};
  EXPECT_EQ(tally.BytesCopied(failures), 1000u);
  EXPECT_EQ(tally.BytesCopied({}), 1079u);
}
