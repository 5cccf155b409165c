// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/VolumeSpace.h"

#include <gtest/gtest.h>

TEST(VolumeSpaceTest, NeedMustBeBelowTheFreeSpace) {
  EXPECT_FALSE(koral::HasRoomFor(5.0f, 5 * 1048576ull));
  EXPECT_TRUE(koral::HasRoomFor(5.0f, 5 * 1048576ull + 1));
  EXPECT_FALSE(koral::HasRoomFor(0.0f, 0));
  EXPECT_TRUE(koral::HasRoomFor(6000.0f, 6ull << 40));  // beyond 32 bits
  EXPECT_EQ(koral::AvailableBytes("/no/such/player"), 0u);
}
