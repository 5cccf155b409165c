// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/TextEncoding.h"

#include <gtest/gtest.h>

namespace koral {
namespace {

TEST(TextEncoding, EveryWindows1252ByteDecodesToUtf8AndComesBack) {
  std::string everyByte;
  for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
  const std::string decoded = Windows1252ToUtf8(everyByte);
  EXPECT_TRUE(IsValidUtf8(decoded));
  EXPECT_EQ(Utf8ToWindows1252(decoded), everyByte);  // the five undefined bytes too
  EXPECT_EQ(Windows1252ToUtf8("\x80\xE9\x9C"), "€éœ");
  EXPECT_EQ(Utf8ToWindows1252("Złoto"), "Z?oto");
}

TEST(TextEncoding, ValidUtf8IsKeptAndAnythingElseReadAsWindows1252) {
  EXPECT_EQ(ToUtf8("été"), "été");
  EXPECT_EQ(ToUtf8("\xE9t\xE9"), "été");
  for (const char* invalid : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
    EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;  // overlong, surrogate, past U+10FFFF, cut short
}

}  // namespace
}  // namespace koral
