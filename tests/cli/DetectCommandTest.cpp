// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Koralctl.h"
#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace koral::cli {
namespace {

using Result = koral::test::KoralctlResult;
using koral::test::Koralctl;

TEST(Koralctl, DetectPrintsThePlayerNamedOnTheCommandLine) {
  test::TestEnvironment env;
  const Result result = Koralctl({"--player", env.PlayerDir().string() + "/", "detect"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, env.PlayerDir().string() + "\n");
}

TEST(Koralctl, DetectFailsWithoutAPlayer) {
  test::TestEnvironment env;
  env.ForgetPlayer();
  const FixedVolumeSource volumes({{"/", "/dev/sda1", false}});
  SetVolumeSourceForTesting(&volumes);
  const Result result = Koralctl({"detect"});
  SetVolumeSourceForTesting(nullptr);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "L'Koral n'a pas été détecté.\n");
}

TEST(Koralctl, HelpListsTheCommandsAndUsageErrorsReturnTwo) {
  EXPECT_NE(Koralctl({"--help"}).out.find("detect"), std::string::npos);
  EXPECT_EQ(Koralctl({}).status, 2);
  EXPECT_EQ(Koralctl({"nonsense"}).status, 2);
  EXPECT_EQ(Koralctl({"--player"}).status, 2);
  EXPECT_EQ(Koralctl({"detect", "extra"}).status, 2);
}

}  // namespace
}  // namespace koral::cli
