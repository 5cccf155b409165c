// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/VfatNames.h"

#include <gtest/gtest.h>

#include <string>

TEST(VfatNameTest, RefusedCharactersBecomeUnderscoresAndTrailingDotsAndSpacesGo) {
  EXPECT_EQ(koral::ToVfatName("a\"b*c:d<e>f?g\\h|i.mp3"), "a_b_c_d_e_f_g_h_i.mp3");
  EXPECT_EQ(koral::ToVfatName(std::string("tab\there\x01.mp3")), "tab_here_.mp3");
  EXPECT_EQ(koral::ToVfatName("Best of... "), "Best of");
  EXPECT_EQ(koral::ToVfatName(".."), "_");
  EXPECT_EQ(koral::ToVfatName("Émilie & Zoé.mp3"), "Émilie & Zoé.mp3");
}
