// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/RegularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "support/PipeWriterAfter.h"
#include "support/TestEnvironment.h"

using koral::test::TempDir;
using koral::test::WriteFile;
namespace fs = std::filesystem;

TEST(RegularFileRead, TellsAPipeOrADeviceFromAFileThatCannotBeRead) {
  TempDir root;
  WriteFile(root / "a.txt", "bytes");
  ASSERT_EQ(mkfifo((root / "pipe").c_str(), 0600), 0);
  const koral::test::PipeWriterAfter release(root / "pipe", std::chrono::seconds(3));

  EXPECT_EQ(koral::ReadRegularFile(root / "a.txt").bytes, "bytes");
  for (const fs::path& special : {root / "pipe", fs::path("/dev/null")}) {
    const koral::RegularFileRead read = koral::ReadRegularFile(special);
    EXPECT_FALSE(read.bytes) << special;
    EXPECT_TRUE(read.notRegularFile) << special;
  }
  for (const fs::path& unreadable : {root / "missing", root.Path()}) {
    const koral::RegularFileRead read = koral::ReadRegularFile(unreadable);
    EXPECT_FALSE(read.bytes) << unreadable;
    EXPECT_FALSE(read.notRegularFile) << unreadable;
  }
}
