// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/RadioFrequency.h"

#include <gtest/gtest.h>

#include "core/settings/RadioRecord.h"

namespace koral {
namespace {

TEST(RadioFrequency, ReadsTypedTextLikeAtofWithAPoint) {
  EXPECT_DOUBLE_EQ(ReadMegahertz("88,5"), 88.0);
  EXPECT_DOUBLE_EQ(ReadMegahertz("  101.1"), 101.1);
  EXPECT_DOUBLE_EQ(ReadMegahertz("+99.5x"), 99.5);
  EXPECT_DOUBLE_EQ(ReadMegahertz("-90"), -90.0);
  EXPECT_DOUBLE_EQ(ReadMegahertz("FM"), 0.0);
  EXPECT_DOUBLE_EQ(ReadMegahertz(""), 0.0);
  EXPECT_DOUBLE_EQ(ReadMegahertz("+-3"), 0.0);
  EXPECT_TRUE(IsTypedFrequencyAccepted(87.5));
  EXPECT_TRUE(IsTypedFrequencyAccepted(108.0));
  EXPECT_FALSE(IsTypedFrequencyAccepted(87.49));
  EXPECT_FALSE(IsTypedFrequencyAccepted(120.0));
  EXPECT_EQ(FormatMegahertz(87.75), "87.8");
  EXPECT_EQ(FormatMegahertz(0.0), "0.0");
  EXPECT_EQ(FrequencyKey(87.75), FrequencyKey(87.8));
  EXPECT_NE(FrequencyKey(87.7), FrequencyKey(87.8));
}

TEST(RadioFrequency, TypedFrequenciesTakeAPointOrACommaAndNothingElse) {
  EXPECT_EQ(ParseTypedMegahertz("88,5"), 88.5);
  EXPECT_EQ(ParseTypedMegahertz(" 103.5 "), 103.5);
  EXPECT_EQ(ParseTypedMegahertz("100"), 100.0);
  EXPECT_EQ(ParseTypedMegahertz("99."), 99.0);
  EXPECT_EQ(ParseTypedMegahertz("87.5"), 87.5);
  EXPECT_EQ(ParseTypedMegahertz("108,0"), 108.0);
  EXPECT_EQ(ParseTypedMegahertz("101.35"), 101.35);
  // Rounded to the kHz that are written, so what is shown is what is stored.
  EXPECT_EQ(ParseTypedMegahertz("95.12345"), 95.123);
  for (const char* refused : {"1e2", "88.5x", "", "   ", "200", "87.4", "108.1", "-90", "+90", "88,5,0", "88.5.0", ".5",
                              "inf", "nan", "0x5A", "8 8", "88;5", "99999999999999999999999"})
    EXPECT_FALSE(ParseTypedMegahertz(refused)) << refused;
}

TEST(RadioFrequency, AMemoryShowsTheDecimalsItsKilohertzNeed) {
  EXPECT_EQ(FormatMemoryMegahertz(103.5), "103.5");
  EXPECT_EQ(FormatMemoryMegahertz(88.0), "88.0");
  EXPECT_EQ(FormatMemoryMegahertz(101.35), "101.35");
  EXPECT_EQ(FormatMemoryMegahertz(95.123), "95.123");
  EXPECT_EQ(FormatMemoryMegahertz(DecodeRadioRecord({48, 86, 1}) * 0.001), "87.6");
  for (const char* text : {"101.35", "95.123", "88.5"})
    EXPECT_EQ(FormatMemoryMegahertz(*ParseTypedMegahertz(text)), text);
}

}  // namespace
}  // namespace koral
