// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/Eject.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdlib>

#include "support/TestEnvironment.h"
#include "core/files/ErrorText.h"
#include "core/platform/MountTableWatch.h"
#include "core/platform/Volumes.h"

namespace koral {
namespace {

using test::TempDir;
using test::WriteFile;

// The disk service as a test scripts it; it records what it was asked.
class ScriptedService final : public DriveService {
 public:
  DriveReply found, unmounted, poweredOff;
  std::vector<std::string> calls;

  DriveReply FindVolume(const std::string& mountPoint) override {
    calls.push_back("find " + mountPoint);
    return found;
  }
  DriveReply Unmount() override {
    calls.push_back("unmount");
    return unmounted;
  }
  DriveReply PowerOff() override {
    calls.push_back("poweroff");
    return poweredOff;
  }
};

TEST(EjectPlayer, SyncsUnmountsThenPowersOff) {
  TempDir player;
  ScriptedService service;
  service.poweredOff = {DriveReply::kRefused, "not supported"};  // unmounted is what makes unplugging safe
  const EjectResult result = EjectPlayer(player.Path().string(), service);
  EXPECT_TRUE(result.ejected);
  EXPECT_EQ(result.message, "Vous pouvez débrancher l'Koral.");
  EXPECT_EQ(service.calls, (std::vector<std::string>{"find " + player.Path().string(), "unmount", "poweroff"}));
}

TEST(EjectPlayer, EachRefusalIsExplainedAndNothingFollowsIt) {
  TempDir player;
  struct Refusal {
    DriveReply ScriptedService::*step;
    DriveReply reply;
    std::string start;  // of the message
    std::string lastCall;
  };
  const std::vector<Refusal> refusals = {
      {&ScriptedService::found, {DriveReply::kUnavailable, "no bus"},
       "Les données sont bien sur l'Koral, mais le service des disques (udisks2) ne répond pas : démontez-le depuis le bureau",
       "find"},
      {&ScriptedService::found, {DriveReply::kUnknownVolume, {}},
       "Le service des disques ne connaît pas ce volume. Les données sont bien sur l'Koral : démontez-le", "find"},
      {&ScriptedService::unmounted, {DriveReply::kBusy, {}},
       "L'Koral est occupé : un autre programme y garde un fichier ouvert.", "unmount"},
      {&ScriptedService::unmounted, {DriveReply::kRefused, "Not authorized"},
       "Le service des disques a refusé de démonter l'Koral (Not authorized).", "unmount"},
  };
  for (const Refusal& refusal : refusals) {
    ScriptedService service;
    service.*refusal.step = refusal.reply;
    const EjectResult result = EjectPlayer(player.Path().string(), service);
    EXPECT_FALSE(result.ejected);
    EXPECT_EQ(result.message.rfind(refusal.start, 0), 0u) << result.message;
    EXPECT_EQ(service.calls.back().rfind(refusal.lastCall, 0), 0u);  // never powered off while mounted
  }
}

TEST(EjectPlayer, AVolumeThatCannotBeSyncedIsNotHandedToTheService) {
  ScriptedService service;
  const EjectResult result = EjectPlayer("/nonexistent/KORAL", service);
  EXPECT_FALSE(result.ejected);
  EXPECT_NE(result.message.find("ne le débranchez pas"), std::string::npos) << result.message;
  EXPECT_TRUE(service.calls.empty());
}

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
  if (::mount("koral-test", point.Path().c_str(), "tmpfs", 0, nullptr) != 0)
    GTEST_SKIP() << "no right to mount here";
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

TEST(DescribeError, TheSideThatFailedIsNamed) {
  EXPECT_EQ(DescribeError(EIO, ErrorSide::kComputer), "erreur de lecture sur l'ordinateur");
  EXPECT_EQ(DescribeError(EIO), "erreur d'écriture (l'Koral a-t-il été débranché ?)");
  EXPECT_EQ(DescribeError(ENAMETOOLONG, ErrorSide::kComputer), "nom trop long");
  EXPECT_EQ(DescribeError(ENOTEMPTY), "le dossier n'est pas vide");
}

}  // namespace
}  // namespace koral
