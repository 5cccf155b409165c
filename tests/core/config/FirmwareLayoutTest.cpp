// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/FirmwareLayout.h"
#include "core/firmware/FirmwareVersions.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

TEST(FirmwareLayout, OffsetsReadAsAtoiAndMissingOrEmptyKeysNameNoOffset) {
  test::TempDir dir;
  const auto ini = dir / "Config.ini";
  test::WriteFile(ini, "[FIRMWARE]\nVERSION=119.0\n[119.0]\noffseteq= 64 \noffsetab=0x10\noffsetusb=\noffsetpower=0\n");
  EXPECT_EQ(ReadFirmwareVersion(ini), "119.0");
  EXPECT_EQ(ReadLayoutValue(ini, "119.0", "OFFSETEQ"), 64);
  EXPECT_EQ(ReadLayoutValue(ini, "119.0", "offsetab"), 0);  // the reading stops at the x
  EXPECT_EQ(ReadLayoutValue(ini, "119.0", "offsetpower"), 0);
  EXPECT_EQ(ReadLayoutValue(ini, "119.0", "offsetusb"), std::nullopt);
  EXPECT_EQ(ReadLayoutValue(ini, "119.0", "offsetradio"), std::nullopt);
  EXPECT_EQ(ReadLayoutValue(ini, "118.2", "offseteq"), std::nullopt);
}

TEST(FirmwareLayout, AnOffsetWhoseBytesCannotBeAddressedCountsAsMissing) {
  test::TempDir dir;
  const auto ini = dir / "Config.ini";
  test::WriteFile(ini, "[v]\nnegative=-3\nlast=2147483645\nhuge=99999999999\nempty=\nzero=0\n");
  EXPECT_EQ(ReadLayoutOffset(ini, "v", "negative", 1), std::nullopt);
  EXPECT_EQ(ReadLayoutOffset(ini, "v", "last", 3), 2147483645);  // its last byte is the last position
  EXPECT_EQ(ReadLayoutOffset(ini, "v", "last", 4), std::nullopt);
  EXPECT_EQ(ReadLayoutOffset(ini, "v", "huge", 165), std::nullopt);  // atoi saturates: 165 bytes do not fit
  EXPECT_EQ(ReadLayoutOffset(ini, "v", "empty", 1), std::nullopt);
  EXPECT_EQ(ReadLayoutOffset(ini, "v", "zero", 165), 0);
}

}  // namespace
}  // namespace koral
