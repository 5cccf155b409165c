// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/RadioRecord.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/settings/RadioFrequency.h"

namespace koral {
namespace {

TEST(RadioRecord, EncodesAndDecodesTheBandEdgesAndTenths) {
  EXPECT_EQ(EncodeRadioRecordMHz(87.5), (CSettingsFile::Slots{204, 85, 1}));
  EXPECT_EQ(EncodeRadioRecordMHz(87.6), (CSettingsFile::Slots{48, 86, 1}));
  EXPECT_EQ(DecodeRadioRecord({204, 85, 1}), 87500u);
  EXPECT_EQ(DecodeRadioRecord({48, 86, 1}), 87600u);
  // Upper slot bytes are not part of the record.
  EXPECT_EQ(DecodeRadioRecord({0x1CC, 0x355, 0x101}), 87500u);
  EXPECT_EQ(FormatMegahertz(DecodeRadioRecord({48, 86, 1}) * 0.001), "87.6");
  // 99.9999 MHz rounds to the nearest kHz, not down.
  EXPECT_EQ(DecodeRadioRecord(EncodeRadioRecordMHz(99.9999)), 100000u);
}

TEST(RadioRecord, HoldsImpossibleFrequenciesAtTheBoundsInsteadOfWrapping) {
  EXPECT_EQ(EncodeRadioRecordMHz(-1.0), (CSettingsFile::Slots{0, 0, 0}));
  EXPECT_EQ(EncodeRadioRecordMHz(1e30), (CSettingsFile::Slots{255, 255, 255}));
  EXPECT_EQ(EncodeRadioRecordMHz(std::numeric_limits<double>::quiet_NaN()), (CSettingsFile::Slots{0, 0, 0}));
}

}  // namespace
}  // namespace koral
