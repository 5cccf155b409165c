// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/PartialCopyNames.h"

#include <gtest/gtest.h>

#include <string>

#include "core/config/TextEncoding.h"

TEST(PartialCopyNameTest, IsAHiddenNameWithinTheNameLimit) {
  EXPECT_EQ(koral::TemporaryNameFor("01 - a.mp3"), ".01 - a.mp3.koral-part");
  EXPECT_EQ(koral::PartialFolderOf("/player"), "/player/.koral-part");
  EXPECT_TRUE(koral::IsTemporaryName(".a.mp3.koral-part"));
  EXPECT_TRUE(koral::IsTemporaryName("12.a.mp3.koral-part"));
  EXPECT_FALSE(koral::IsTemporaryName("12a.mp3.koral-part"));
  EXPECT_FALSE(koral::IsTemporaryName("a.mp3.koral-part"));
  EXPECT_TRUE(koral::IsPartialFolderName(".KORAL-Part"));
  EXPECT_FALSE(koral::IsTemporaryName(".koral-part"));
  EXPECT_FALSE(koral::IsTemporaryName(".a.mp3"));

  std::string accented;
  while (accented.size() < 250) accented += "é";  // two bytes each
  const std::string first = koral::TemporaryNameFor(accented + "1.mp3");
  const std::string second = koral::TemporaryNameFor(accented + "2.mp3");
  EXPECT_LE(first.size(), 255u);
  EXPECT_NE(first, second);
  EXPECT_TRUE(koral::IsTemporaryName(first));
  EXPECT_EQ(koral::ToUtf8(first), first);  // valid UTF-8: never cut inside a character
}
