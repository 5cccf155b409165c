// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"
#include "core/settings/RadioFrequency.h"
#include "core/settings/RadioMemories.h"

namespace koral {
namespace {

using test::TestEnvironment;

std::string Record(int b0, int b1, int b2) {
  return {static_cast<char>(b0), static_cast<char>(b1), static_cast<char>(b2)};
}

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
  for (const char* refused : {"1e2", "88.5x", "", "   ", "200", "87.4", "108.1", "-90", "+90", "88,5,0", "88.5.0",
                              ".5", "inf", "nan", "0x5A", "8 8", "88;5", "99999999999999999999999"})
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

TEST(RadioLayout, MissingKeysGiveNoLayoutAndLargeCountsAreCapped) {
  TestEnvironment env;
  EXPECT_EQ(ReadRadioLayout(env.ConfigIni(), "119.0")->offset, 256);
  EXPECT_EQ(ReadRadioLayout(env.ConfigIni(), "119.0")->count, 20);
  EXPECT_FALSE(ReadRadioLayout(env.ConfigIni(), "no-such-version"));
  env.SetConfigIni("[9.0]\nnbradios=35\noffsetradio=10\n[9.1]\nnbradios=4\n[9.2]\noffsetradio=-6\nnbradios=2\n");
  EXPECT_EQ(ReadRadioLayout(env.ConfigIni(), "9.0")->count, 20);
  EXPECT_FALSE(ReadRadioLayout(env.ConfigIni(), "9.1"));
  EXPECT_FALSE(ReadRadioLayout(env.ConfigIni(), "9.2"));
  // The last record's offset would not fit in 32 bits.
  env.SetConfigIni("[9.3]\nnbradios=20\noffsetradio=2147483600\n[9.4]\nnbradios=20\noffsetradio=99999999999\n");
  EXPECT_FALSE(ReadRadioLayout(env.ConfigIni(), "9.3"));
  EXPECT_FALSE(ReadRadioLayout(env.ConfigIni(), "9.4"));
}

TEST(RadioMemoriesPass, ReadsAndWritesOnlyTheFirstCountRecords) {
  TestEnvironment env;
  std::string image(64, '\x77');
  image.replace(4, 3, Record(204, 85, 1));
  image.replace(10, 3, Record(48, 86, 1));
  env.SetSettingsImage(image);
  const RadioLayout layout{4, 2};
  RadioMemories memories;
  ASSERT_EQ(ReadRadioMemories(env.SettingsImage(), layout, memories), ImagePassResult::kOk);
  EXPECT_DOUBLE_EQ(*memories[0], 87.5);
  EXPECT_DOUBLE_EQ(*memories[1], 87.6);
  EXPECT_FALSE(memories[2]);

  memories[0] = 104.3;
  memories[2] = 99.0;  // beyond the count: never written
  ASSERT_EQ(WriteRadioMemories(env.SettingsImage(), layout, memories), ImagePassResult::kOk);
  std::string expected = image;
  expected.replace(4, 3, Record(0x6C, 0x97, 0x01));  // 104300 kHz
  EXPECT_EQ(env.SettingsImageBytes(), expected);
}

TEST(RadioMemoriesPass, ARecordPastTheEndReadsAsZeroNotAsTheOneBefore) {
  TestEnvironment env;
  env.SetSettingsImage(std::string(4, '\0') + Record(204, 85, 1));
  RadioMemories memories;
  ASSERT_EQ(ReadRadioMemories(env.SettingsImage(), RadioLayout{4, 3}, memories), ImagePassResult::kOk);
  EXPECT_DOUBLE_EQ(*memories[0], 87.5);
  EXPECT_DOUBLE_EQ(*memories[1], 0.0);
  EXPECT_DOUBLE_EQ(*memories[2], 0.0);
}

TEST(RadioMemoriesPass, NoPlayerOrNoImageIsReportedAndNothingIsCreated) {
  TestEnvironment env;
  RadioMemories memories;
  memories[0] = 90.0;
  EXPECT_EQ(ReadRadioMemories(RadioImagePath(std::nullopt), RadioLayout{0, 1}, memories),
            ImagePassResult::kImageNotOpened);
  EXPECT_EQ(WriteRadioMemories(RadioImagePath(std::nullopt), RadioLayout{0, 1}, memories),
            ImagePassResult::kImageNotOpened);
  EXPECT_EQ(WriteRadioMemories(env.SettingsImage(), RadioLayout{0, 1}, memories), ImagePassResult::kImageNotOpened);
  EXPECT_FALSE(std::filesystem::exists(env.SettingsImage()));
}

TEST(RadioMemoriesPass, WriteWhoseBytesNeverReachThePlayerFails) {
  // A player that takes the writes but cannot store them past 600 bytes:
  // the loss shows only when the image is closed. The backup of the
  // 512-byte image still fits.
  TestEnvironment env;
  env.SetSettingsImage();
  RadioMemories memories;
  memories[0] = 90.0;
  const test::FileSizeLimit limit(600);
  EXPECT_EQ(WriteRadioMemories(env.SettingsImage(), RadioLayout{1000, 1}, memories), ImagePassResult::kTransferFailed);
  EXPECT_EQ(WriteRadioMemories(env.SettingsImage(), RadioLayout{0, 1}, memories), ImagePassResult::kOk);
}

}  // namespace
}  // namespace koral
