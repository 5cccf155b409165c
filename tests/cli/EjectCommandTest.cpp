// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

using koral::test::Koralctl;
using koral::test::TestEnvironment;
using Result = koral::test::KoralctlResult;

// The eject through udisks2 has its own process tests (test_eject.py); here,
// the build that has no eject module at all.
TEST(EjectCommand, WithoutTheModuleItSaysSoAndLeavesThePlayerAsItIs) {
  if (KORAL_EJECT_MODULE) GTEST_SKIP() << "built with the UDisks2 eject module";
  TestEnvironment env;
  const std::string expected =
      "Ce koralctl a été construit sans la prise en charge d'UDisks2 : éjectez l'Koral depuis le bureau.\n";
  const Result named = Koralctl({"--player", env.PlayerDir().string(), "eject"});
  EXPECT_EQ(named.status, 1);
  EXPECT_EQ(named.out, "");
  EXPECT_EQ(named.err, expected);
  EXPECT_TRUE(std::filesystem::is_directory(env.PlayerDir()));

  // Told before any search for a player: no player changes nothing.
  env.ForgetPlayer();
  const Result found = Koralctl({"eject"});
  EXPECT_EQ(found.status, 1);
  EXPECT_EQ(found.err, expected);
}

}  // namespace
