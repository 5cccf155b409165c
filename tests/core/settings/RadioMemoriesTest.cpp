// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/settings/RadioFrequency.h"
#include "core/settings/RadioMemories.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

using test::TestEnvironment;

std::string Record(int b0, int b1, int b2) {
  return {static_cast<char>(b0), static_cast<char>(b1), static_cast<char>(b2)};
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
