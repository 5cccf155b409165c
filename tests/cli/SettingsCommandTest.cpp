// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Koralctl.h"
#include "core/demo/DemoPlayer.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

using Result = koral::test::KoralctlResult;
using koral::test::Koralctl;

using koral::test::TestEnvironment;

std::string ImageWithPowerAndMode() {
  std::string image(512, '\0');
  image[19] = 0;  // power
  image[33] = 9;  // mode
  image[17] = 55;
  return image;
}

TEST(SettingsCommandTest, ShowUsesTheLabelsOfTheVersion) {
  TestEnvironment env;
  env.SetSettingsImage(ImageWithPowerAndMode());
  const Result shown = Koralctl({"settings", "show"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("power = 0 (1 minute)\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("srswowmodeactif = 9 (WOW)\n"), std::string::npos);
  EXPECT_NE(shown.out.find("contrast = 5\n"), std::string::npos);
  EXPECT_NE(shown.out.find("ab = 0 (SRS~WOW)\n"), std::string::npos);

  const Result other = Koralctl({"--firmware", "118.2", "settings", "show"});
  ASSERT_EQ(other.status, 0);
  EXPECT_NE(other.out.find("power = 0 (toujours allumé)\n"), std::string::npos) << other.out;
}

TEST(SettingsCommandTest, SetWritesOneSettingWithTheSharedTables) {
  TestEnvironment env;
  env.SetSettingsImage(ImageWithPowerAndMode());
  EXPECT_EQ(Koralctl({"settings", "set", "srswowtrubass", "10"}).status, 0);
  EXPECT_EQ(Koralctl({"settings", "set", "contrast", "6"}).status, 0);
  std::string expected = ImageWithPowerAndMode();
  expected.replace(24, 3, "\xFE\xFF\x7F");
  expected[17] = 60;
  EXPECT_EQ(env.SettingsImageBytes(), expected);
  EXPECT_NE(Koralctl({"settings", "show"}).out.find("srswowtrubass = 10\n"), std::string::npos);
}

TEST(SettingsCommandTest, RefusesWhatTheVersionCannotHold) {
  TestEnvironment env;
  env.SetSettingsImage(ImageWithPowerAndMode());
  const Result hidden = Koralctl({"settings", "set", "vitessedefil", "5"});  // "x 8" hidden with 119.0
  EXPECT_EQ(hidden.status, 2);  // a bad argument, as for the other commands
  EXPECT_NE(hidden.err.find("4 : x 5"), std::string::npos) << hidden.err;
  EXPECT_EQ(Koralctl({"settings", "set", "contrast", "6x"}).status, 2);
  EXPECT_EQ(Koralctl({"settings", "set", "srswowsrs", "11"}).status, 2);
  EXPECT_EQ(Koralctl({"settings", "set", "volume", "1"}).status, 2);
  EXPECT_EQ(Koralctl({"settings", "set", "ab"}).status, 2);
  EXPECT_EQ(Koralctl({"--firmware", "999", "settings", "set", "ab", "1"}).status,
            2);  // a version Config.ini does not list
  EXPECT_EQ(env.SettingsImageBytes(), ImageWithPowerAndMode());

  std::filesystem::remove(env.SettingsImage());
  const Result absent = Koralctl({"settings", "show"});
  EXPECT_EQ(absent.status, 1);
  EXPECT_FALSE(absent.err.empty());
}

TEST(SettingsCommandTest, DemoPlayerHoldsAValidChoiceForEverySetting) {
  TestEnvironment env;
  koral::CreateDemoPlayer(env.PlayerDir(), env.ConfigIni(), env.RadiosIni());
  const Result shown = Koralctl({"settings", "show"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_EQ(shown.out.find("aucun choix"), std::string::npos) << shown.out;
  EXPECT_EQ(shown.out.find("absent"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("srswowtrubass = 5\n"), std::string::npos) << shown.out;
}

}  // namespace
