// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Koralctl.h"
#include "core/config/PrivateProfile.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

using KoralctlRun = koral::test::KoralctlResult;
using koral::test::Koralctl;

using koral::test::TestEnvironment;

TEST(FirmwareCommand, ListsTheVersionsSortedWithTheCurrentOneMarked) {
  TestEnvironment env;
  const KoralctlRun shipped = Koralctl({"firmware", "list"});
  EXPECT_EQ(shipped.status, 0);
  EXPECT_EQ(shipped.out, "  118.2\n* 119.0\n");

  env.SetConfigIni("[firmware]\nversion=119\nversionsdispo=119.0 119.01\n");
  EXPECT_EQ(Koralctl({"firmware", "list"}).out, "  119.0\n* 119.01\n");
  EXPECT_EQ(Koralctl({"--firmware", "119.0", "firmware", "list"}).out, "* 119.0\n  119.01\n");
}

TEST(FirmwareCommand, ListFailsWithoutAnyVersion) {
  TestEnvironment env;
  env.SetConfigIni("[firmware]\nversion=119.0\nversionsdispo=\n");
  const KoralctlRun run = Koralctl({"firmware", "list"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Aucun firmware n'est disponible."), std::string::npos);
}

TEST(FirmwareCommand, SetWritesOnlyAVersionOfTheList) {
  TestEnvironment env;
  EXPECT_EQ(Koralctl({"firmware", "set", "118.2"}).status, 0);
  EXPECT_EQ(koral::GetPrivateProfileString("firmware", "version", "", env.ConfigIni()), "118.2");

  const std::string before = koral::test::ReadFile(env.ConfigIni());
  for (const std::string version : {"118", "118.2 ", "119.0 118.2", ""}) {
    const KoralctlRun run = Koralctl({"firmware", "set", version});
    EXPECT_EQ(run.status, 1) << version;
    EXPECT_NE(run.err.find("n'est pas dans la liste"), std::string::npos);
  }
  EXPECT_EQ(koral::test::ReadFile(env.ConfigIni()), before);
  EXPECT_EQ(Koralctl({"firmware", "set"}).status, 2);
  EXPECT_EQ(Koralctl({"firmware", "remove", "118.2"}).status, 2);
}

}  // namespace
