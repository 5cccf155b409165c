// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/MountTableWatch.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/mount.h>

#include <cstdlib>
#include <vector>

#include "core/platform/RunContext.h"
#include "core/platform/Volumes.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(MountTableWatch, APlainTableIsComparedWhenAsked) {
  TempDir folder;
  const auto table = folder / "mountinfo";
  WriteFile(table, "25 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
  MountTableWatch watch(table.string());
  EXPECT_EQ(watch.SignalDescriptor(), -1);
  EXPECT_FALSE(watch.Changed());
  WriteFile(table, "25 1 8:1 / / rw - ext4 /dev/sda1 rw\n36 25 8:17 / /media/KORAL rw - vfat /dev/sdz1 rw\n");
  EXPECT_TRUE(watch.Changed());
  EXPECT_FALSE(watch.Changed());  // one change is told once
}

TEST(MountTableWatch, TheKernelTableSignalsAMount) {
  MountTableWatch watch("/proc/self/mountinfo");
  ASSERT_GE(watch.SignalDescriptor(), 0);
  EXPECT_FALSE(watch.Changed());
  TempDir point;
  if (::mount("koral-test", point.Path().c_str(), "tmpfs", 0, nullptr) != 0) GTEST_SKIP() << "no right to mount here";
  pollfd watched{watch.SignalDescriptor(), POLLPRI, 0};
  EXPECT_EQ(::poll(&watched, 1, 5000), 1);
  EXPECT_TRUE(watch.Changed());
  ::umount(point.Path().c_str());
  EXPECT_TRUE(watch.Changed());
}

TEST(MountTableWatch, TheVolumeListFollowsTheTableTheContextNames) {
  TempDir folder;
  WriteFile(folder / "mountinfo", "36 25 8:17 / /media/KORAL rw - vfat /dev/sdz1 rw\n");
  WriteFile(folder / "block" / "sdz1" / "removable", "1\n");
  RunContext context;
  context.mountTable = (folder / "mountinfo").string();
  context.sysBlock = (folder / "block").string();
  const std::vector<Volume> volumes = CurrentVolumes(context.mountTable, context.sysBlock);
  ASSERT_EQ(volumes.size(), 1u);
  EXPECT_EQ(volumes[0].mountPoint, "/media/KORAL");
  EXPECT_TRUE(volumes[0].removable);
}

}  // namespace
}  // namespace koral
