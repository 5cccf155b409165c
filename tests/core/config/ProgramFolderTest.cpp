// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/ProgramFolder.h"

#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

TEST(ProgramFolder, TheExplicitFolderComesFirst) {
  test::TempDir dir;
  RunContext context;
  context.configDir = dir.Path();
  EXPECT_EQ(ProgramFolder(context), dir.Path());
  EXPECT_EQ(ConfigIniPath(context), dir / "Config.ini");
  EXPECT_EQ(RadiosIniPath(context), dir / "Radios.ini");
}

TEST(ProgramFolder, WithoutConfigBesideTheExecutableTheUserFolderIsUsed) {
  // Test binaries live in a folder without Config.ini.
  test::TempDir home;
  RunContext context;
  context.configHome = home.Path();
  EXPECT_EQ(ProgramFolder(context), home / "koral-config");
  EXPECT_TRUE(std::filesystem::is_directory(home / "koral-config"));
}

}  // namespace
}  // namespace koral
