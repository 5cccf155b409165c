// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/WholeNumber.h"

#include <gtest/gtest.h>

namespace {

using koral::cli::ParseWholeNumber;
using koral::cli::PlusSign;

TEST(WholeNumber, TakesASignedDecimalNumberAndNothingElse) {
  EXPECT_EQ(ParseWholeNumber("0"), 0);
  EXPECT_EQ(ParseWholeNumber("-12"), -12);
  EXPECT_EQ(ParseWholeNumber("2147483647"), 2147483647);
  for (const char* text : {"", " 1", "1 ", "1x", "0x10", "1.0", "-", "2147483648", "99999999999999999999"})
    EXPECT_EQ(ParseWholeNumber(text), std::nullopt) << '"' << text << '"';
}

TEST(WholeNumber, TakesALeadingPlusOnlyWhereAsked) {
  EXPECT_EQ(ParseWholeNumber("+5"), std::nullopt);
  EXPECT_EQ(ParseWholeNumber("+5", PlusSign::kTaken), 5);
  EXPECT_EQ(ParseWholeNumber("-5", PlusSign::kTaken), -5);
  for (const char* text : {"+", "++5", "+-3", "+ 5", "-+5"})
    EXPECT_EQ(ParseWholeNumber(text, PlusSign::kTaken), std::nullopt) << '"' << text << '"';
}

}  // namespace
