// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/settings/EqualiserImage.h"
#include "core/settings/EqualiserPresets.h"
#include "core/settings/EqualiserTables.h"
#include "support/TestEnvironment.h"

namespace {

using koral::GainTable;

TEST(EqualiserLayoutTest, MissingNegativeOrHugeOffsetsAreNotUsable) {
  koral::test::TestEnvironment environment;
  EXPECT_TRUE(koral::ReadEqualiserLayout(environment.ConfigIni(), "119.0").IsComplete());
  environment.SetConfigIni("[firmware]\nversion=9.9\n[9.9]\noffseteq=-1\n[8.8]\noffseteq=2147483600\noffsetseleq=3\n");
  const auto layout = koral::ReadEqualiserLayout(environment.ConfigIni(), "9.9");
  EXPECT_EQ(layout.MissingKeys(), (std::vector<std::string>{"offseteq", "offsetseleq"}));
  const std::string message = koral::MissingEqualiserKeysMessage(layout);
  EXPECT_NE(message.find("\"9.9\""), std::string::npos);
  EXPECT_NE(message.find("offseteq, offsetseleq"), std::string::npos);
  EXPECT_EQ(koral::ReadEqualiserLayout(environment.ConfigIni(), "8.8").MissingKeys(),
            std::vector<std::string>{"offseteq"});
}

TEST(EqualiserPassTest, GainsMissingAtTheEndOfTheImageReadAsZero) {
  koral::test::TestEnvironment environment;
  std::string bytes(70, '\0');
  bytes[64] = 20;
  bytes[67] = static_cast<char>(0xF4);
  environment.SetSettingsImage(bytes);  // ends inside the first preset; the selection byte is missing
  const auto layout = koral::ReadEqualiserLayout(environment.ConfigIni(), "119.0");
  koral::EqualiserPass pass(environment.SettingsImage(), layout);
  ASSERT_TRUE(pass.IsOpen());
  GainTable gains;
  gains.fill({9, 9, 9, 9, 9});
  int selected = 7;
  ASSERT_TRUE(pass.ReadGains(gains));
  ASSERT_TRUE(pass.ReadSelectedPreset(selected));
  EXPECT_EQ(gains[0], (koral::PresetGains{20, -12, 0, 0, 0}));
  EXPECT_EQ(gains[10], (koral::PresetGains{0, 0, 0, 0, 0}));
  EXPECT_EQ(selected, 0);  // cleared before the read
}

}  // namespace

TEST(EqualiserPresetNamesTest, EachNameHasTheIndexItsFirmwareStores) {
  const std::array<std::string_view, 12> v119 = {"Normal", "Rock",  "Jazz", "Classique", "Pop",   "Xtrem BASS",
                                                 "Techno", "Dance", "Live", "Reggae",    "Perso", "Auto"};
  const std::array<std::string_view, 12> other = {"Normal", "Jazz",  "Pop",  "Rock",   "Classique", "Extra bass",
                                                  "Techno", "Dance", "Live", "Reggae", "Perso",     "Auto"};
  for (size_t index = 0; index < v119.size(); ++index) {
    EXPECT_EQ(koral::PresetNames("119.0")[index], v119[index]) << index;
    EXPECT_EQ(koral::PresetNames("118.2")[index], other[index]) << index;
    EXPECT_EQ(koral::PresetNames("119.01")[index], other[index]) << index;  // exact comparison
  }
}
