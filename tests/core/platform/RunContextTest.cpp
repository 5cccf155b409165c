// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/RunContext.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace koral {
namespace {

RunContext FromVariables(const std::map<std::string, std::string>& variables) {
  return RunContextFromEnvironment([&](const char* name) -> const char* {
    const auto found = variables.find(name);
    return found == variables.end() ? nullptr : found->second.c_str();
  });
}

TEST(RunContextFromEnvironment, EveryVariableTheProgramHonoursIsTaken) {
  const RunContext context = FromVariables({{"KORAL_PLAYER", "/media/KORAL"},
                                            {"KORAL_CONFIG_DIR", "/etc/koral"},
                                            {"KORAL_MOUNT_TABLE", "/tmp/mountinfo"},
                                            {"KORAL_SYS_BLOCK", "/tmp/block"},
                                            {"KORAL_CONVERT_MODULE", "/tmp/convert.so"},
                                            {"XDG_CONFIG_HOME", "/x/config"},
                                            {"XDG_STATE_HOME", "/x/state"},
                                            {"XDG_DATA_HOME", "/x/data"}});
  EXPECT_EQ(context.player, "/media/KORAL");
  EXPECT_TRUE(context.PlayerIsNamed());
  EXPECT_EQ(context.configDir, "/etc/koral");
  EXPECT_EQ(context.mountTable, "/tmp/mountinfo");
  EXPECT_EQ(context.sysBlock, "/tmp/block");
  EXPECT_EQ(context.convertModule, "/tmp/convert.so");
  EXPECT_EQ(context.configHome, "/x/config");
  EXPECT_EQ(context.stateHome, "/x/state");
  EXPECT_EQ(context.dataHome, "/x/data");
  EXPECT_FALSE(context.firmware.has_value());  // only koralctl's command line gives one
}

TEST(RunContextFromEnvironment, EmptyOrRelativeValuesFallBackToTheUsualPlaces) {
  const RunContext context = FromVariables({{"KORAL_PLAYER", ""},
                                            {"KORAL_CONFIG_DIR", ""},
                                            {"KORAL_MOUNT_TABLE", ""},
                                            {"HOME", "/home/anna"},
                                            {"XDG_CONFIG_HOME", "relative/config"},
                                            {"XDG_STATE_HOME", ""}});
  EXPECT_FALSE(context.PlayerIsNamed());
  EXPECT_TRUE(context.configDir.empty());
  EXPECT_EQ(context.mountTable, "/proc/self/mountinfo");
  EXPECT_EQ(context.sysBlock, "/sys/class/block");
  EXPECT_TRUE(context.convertModule.empty());
  EXPECT_EQ(context.configHome, "/home/anna/.config");
  EXPECT_EQ(context.stateHome, "/home/anna/.local/state");
  EXPECT_EQ(context.dataHome, "/home/anna/.local/share");
}

TEST(RunContextFromEnvironment, WithoutHomeTheFoldersGoUnderTmp) {
  EXPECT_EQ(FromVariables({}).stateHome, "/tmp/.local/state");
}

}  // namespace
}  // namespace koral
