// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyPlan.h"

#include <gtest/gtest.h>

TEST(NumberedNameTest, KeepsThePlaylistPositionWithOneLeadingZeroBelowTen) {
  EXPECT_EQ(koral::NumberedName(9, "a.mp3", false), "09 - a.mp3");
  EXPECT_EQ(koral::NumberedName(10, "a.mp3", false), "10 - a.mp3");
  EXPECT_EQ(koral::NumberedName(100, "a.mp3", false), "100 - a.mp3");
  EXPECT_EQ(koral::NumberedName(9, "b.wma", true), "09.mp3");
  EXPECT_EQ(koral::NumberedName(10, "b.wma", true), "10.mp3");
}
