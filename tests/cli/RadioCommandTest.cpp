// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Koralctl.h"
#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace koral::cli {
namespace {

using Outcome = koral::test::KoralctlResult;
using koral::test::Koralctl;

using test::TestEnvironment;

TEST(RadioCommand, SetWritesOneRecordThatShowReadsBack) {
  TestEnvironment env;
  env.SetSettingsImage();
  ASSERT_EQ(Koralctl({"radio", "set", "b", "87.6"}).status, 0);
  const std::string image = env.SettingsImageBytes();
  EXPECT_EQ(image.substr(262, 3), std::string("\x30\x56\x01", 3));
  EXPECT_EQ(image.substr(256, 6), std::string(6, '\0'));  // memory A untouched
  const Outcome shown = Koralctl({"radio", "show"});
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out.substr(0, 16), "A 0.0\nB 87.6\nC 0");
  EXPECT_NE(shown.out.find("T 0.0\n"), std::string::npos);
}

// The same reading as the window's memory fields: a decimal comma is a point.
TEST(RadioCommand, SetTakesADecimalComma) {
  TestEnvironment env;
  env.SetSettingsImage();
  ASSERT_EQ(Koralctl({"radio", "set", "B", "88,5"}).status, 0);
  EXPECT_EQ(env.SettingsImageBytes().substr(262, 3), std::string("\xB4\x59\x01", 3));  // 88500 kHz
}

TEST(RadioCommand, RefusesBadArgumentsWithoutTouchingTheImage) {
  TestEnvironment env;
  env.SetSettingsImage();
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"radio", "set", "U", "90.0"},
                                                                     {"radio", "set", "A", "120"},
                                                                     {"radio", "set", "A", "1e2"},
                                                                     {"radio", "set", "A", "88.5x"},
                                                                     {"radio", "set", "A", ""},
                                                                     {"radio", "set", "A"},
                                                                     {"radio", "play"}}) {
    EXPECT_EQ(Koralctl(arguments).status, 2) << arguments.back();
  }
  EXPECT_EQ(env.SettingsImageBytes(), std::string(512, '\0'));
}

TEST(RadioCommand, FailsWithoutLayoutPlayerImageOrMemory) {
  TestEnvironment env;
  env.SetSettingsImage();
  env.SetConfigIni("[firmware]\nversion=9.9\n[9.9]\nnbradios=3\n");
  Outcome result = Koralctl({"radio", "set", "A", "90.0"});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("offsetradio"), std::string::npos);
  env.SetConfigIni("[firmware]\nversion=9.9\n[9.9]\nnbradios=3\noffsetradio=0\n");
  result = Koralctl({"radio", "set", "D", "90.0"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(env.SettingsImageBytes(), std::string(512, '\0'));
  std::filesystem::remove(env.SettingsImage());
  EXPECT_EQ(Koralctl({"radio", "show"}).status, 1);
  const FixedVolumeSource noVolumes({});
  SetVolumeSourceForTesting(&noVolumes);
  env.ForgetPlayer();
  result = Koralctl({"radio", "show"});
  SetVolumeSourceForTesting(nullptr);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("détecté"), std::string::npos);
}

}  // namespace
}  // namespace koral::cli
