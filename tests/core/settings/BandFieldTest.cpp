// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/BandField.h"

#include <gtest/gtest.h>

namespace {

using koral::CSettingsFile;

TEST(BandFieldTest, WritesTheLowByteThenTheSignAndReadsTheFirstByteOnly) {
  EXPECT_EQ(koral::EncodeBandField(5), (CSettingsFile::Slots{0x05, 0x00, 0x00}));
  EXPECT_EQ(koral::EncodeBandField(-3), (CSettingsFile::Slots{0xFD, 0xFF, 0xFF}));
  EXPECT_EQ(koral::EncodeBandField(-12), (CSettingsFile::Slots{0xF4, 0xFF, 0xFF}));
  EXPECT_EQ(koral::EncodeBandField(-235), (CSettingsFile::Slots{21, 0xFF, 0xFF}));  // read back unchanged
  EXPECT_EQ(koral::DecodeBandByte(0), 0);
  EXPECT_EQ(koral::DecodeBandByte(20), 20);
  EXPECT_EQ(koral::DecodeBandByte(21), -235);
  EXPECT_EQ(koral::DecodeBandByte(244), -12);
  EXPECT_EQ(koral::DecodeBandByte(255), -1);
}

}  // namespace
