// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TestEnvironment.h"

namespace koral {
namespace {

TEST(ProgramFolder, TheExplicitFolderComesFirst) {
  test::TempDir dir;
  setenv("KORAL_CONFIG_DIR", dir.Path().c_str(), 1);
  EXPECT_EQ(ProgramFolder(), dir.Path());
  EXPECT_EQ(ConfigIniPath(), dir / "Config.ini");
  EXPECT_EQ(RadiosIniPath(), dir / "Radios.ini");
  unsetenv("KORAL_CONFIG_DIR");
}

TEST(ProgramFolder, WithoutConfigBesideTheExecutableTheUserFolderIsUsed) {
  // Test binaries live in a folder without Config.ini.
  test::TempDir home;
  setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
  unsetenv("KORAL_CONFIG_DIR");
  EXPECT_EQ(ProgramFolder(), home / "koral-config");
  EXPECT_TRUE(std::filesystem::is_directory(home / "koral-config"));
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace koral
