// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/PlayerDetection.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::TempDir;
using test::WriteFile;

using Drives = std::vector<std::string>;

Volume Fixed(const std::string& point) { return {point, "/dev/sda1", false}; }
Volume Removable(const std::string& point, const std::string& device = "/dev/sdb1") { return {point, device, true}; }

TEST(ScanDrives, TheLastRemovableVolumeIsThePlayerAndNoneOfThemIsAComputerDrive) {
  const DriveScan scan =
      ScanDrives({Fixed("/"), Removable("/media/a/CLE"), Fixed("/home"), Removable("/media/a/KORAL")});
  EXPECT_EQ(scan.playerRoot, "/media/a/KORAL");
  EXPECT_EQ(scan.computerDrives, (Drives{"/", "/home"}));
}

TEST(ScanDrives, AFloppyIsNeverThePlayerButIsAComputerDrive) {
  const DriveScan scan = ScanDrives({Removable("/media/floppy", "/dev/fd0"), Fixed("/")});
  EXPECT_FALSE(scan.playerRoot.has_value());
  EXPECT_EQ(scan.computerDrives, (Drives{"/media/floppy", "/"}));
}

TEST(ScanDrives, NoRemovableVolumeMeansNoPlayer) {
  EXPECT_FALSE(ScanDrives({Fixed("/"), Fixed("/home")}).playerRoot.has_value());
  EXPECT_FALSE(ScanDrives({}).playerRoot.has_value());
}

TEST(ScanDrives, AmongSeveralRemovableVolumesTheLastHoldingSettingsDatWins) {
  TempDir player, stick, other;
  WriteFile(player / "Settings.dat", std::string(512, '\0'));
  const DriveScan scan = ScanDrives(
      {Removable(player.Path().string()), Removable(stick.Path().string()), Removable(other.Path().string())});
  EXPECT_EQ(scan.playerRoot, player.Path().string());
  EXPECT_TRUE(scan.computerDrives.empty());
}

TEST(DetectDrives, KoralPlayerNamesThePlayerAndSkipsDetection) {
  const FixedVolumeSource volumes({Fixed("/"), Removable("/media/a/KORAL")});
  SetVolumeSourceForTesting(&volumes);
  RunContext context;
  context.player = "/srv/koral/";
  const DriveScan scan = DetectDrives(context);
  EXPECT_EQ(scan.playerRoot, "/srv/koral");
  EXPECT_EQ(scan.computerDrives, (Drives{"/", "/media/a/KORAL"}));
  context.player.clear();
  EXPECT_EQ(FindPlayerRoot(context), "/media/a/KORAL");
  SetVolumeSourceForTesting(nullptr);
}

TEST(LinuxVolumeSource, ReadsMountInfoAndTheRemovableFlagOfTheDisk) {
  TempDir sys;
  const auto disk = sys / "devices/pci0/usb1/1-1/block/sdb";
  WriteFile(disk / "removable", "1\n");
  WriteFile(disk / "sdb1/partition", "1\n");
  const auto fixedDisk = sys / "devices/pci0/ata1/block/sda";
  WriteFile(fixedDisk / "removable", "0\n");
  WriteFile(fixedDisk / "sda1/partition", "1\n");
  const auto optical = sys / "devices/pci0/usb2/2-1/block/sr0";
  WriteFile(optical / "removable", "1\n");
  WriteFile(optical / "device/type", "5\n");
  std::filesystem::create_directories(sys / "class/block");
  std::filesystem::create_directory_symlink(optical, sys / "class/block/sr0");
  std::filesystem::create_directory_symlink(disk / "sdb1", sys / "class/block/sdb1");
  std::filesystem::create_directory_symlink(fixedDisk / "sda1", sys / "class/block/sda1");
  WriteFile(sys / "hosts", "127.0.0.1 localhost\n");
  WriteFile(sys / "mountinfo",
            "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
            "23 22 0:5 / /proc rw - proc proc rw\n"
            "24 22 0:20 / /run rw - tmpfs tmpfs rw\n"
            "40 22 8:17 / /media/anna/MON\\040KORAL rw - vfat /dev/sdb1 rw\n"
            "41 22 11:0 / /media/anna/ZDISQUE rw - iso9660 /dev/sr0 ro\n"
            "42 22 7:3 / /snap/core/42 ro - squashfs /dev/loop3 ro\n"
            "43 22 8:1 /etc/hosts " +
                (sys / "hosts").string() + " rw - ext4 /dev/sda1 rw\n");
  const LinuxVolumeSource source((sys / "mountinfo").string(), (sys / "class/block").string());
  const auto volumes = source.List();
  ASSERT_EQ(volumes.size(), 3u);
  EXPECT_EQ(volumes[0].mountPoint, "/");
  EXPECT_FALSE(volumes[0].removable);
  EXPECT_EQ(volumes[1].mountPoint, "/media/anna/MON KORAL");
  EXPECT_TRUE(volumes[1].removable);
  // An optical drive, even on the USB bus, is a computer drive; package
  // images and files bound in by a container are no drives at all.
  EXPECT_EQ(volumes[2].mountPoint, "/media/anna/ZDISQUE");
  EXPECT_FALSE(volumes[2].removable);
}

}  // namespace
}  // namespace koral
