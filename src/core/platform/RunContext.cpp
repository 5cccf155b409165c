// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/RunContext.h"

namespace koral {
namespace {

std::string ValueOr(const EnvironmentLookup& lookup, const char* variable, std::string fallback) {
  const char* value = lookup(variable);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// As the XDG base directory rules say: a relative value is ignored.
std::filesystem::path XdgFolder(const EnvironmentLookup& lookup, const char* variable, const char* fallbackUnderHome) {
  const char* value = lookup(variable);
  if (value != nullptr && *value == '/') return value;
  const char* home = lookup("HOME");
  return std::filesystem::path(home ? home : "/tmp") / fallbackUnderHome;
}

}  // namespace

RunContext RunContextFromEnvironment(const EnvironmentLookup& lookup) {
  RunContext context;
  context.player = ValueOr(lookup, "KORAL_PLAYER", {});
  context.configDir = ValueOr(lookup, "KORAL_CONFIG_DIR", {});
  context.mountTable = ValueOr(lookup, "KORAL_MOUNT_TABLE", context.mountTable);
  context.sysBlock = ValueOr(lookup, "KORAL_SYS_BLOCK", context.sysBlock);
  context.convertModule = ValueOr(lookup, "KORAL_CONVERT_MODULE", {});
  context.configHome = XdgFolder(lookup, "XDG_CONFIG_HOME", ".config");
  context.stateHome = XdgFolder(lookup, "XDG_STATE_HOME", ".local/state");
  context.dataHome = XdgFolder(lookup, "XDG_DATA_HOME", ".local/share");
  return context;
}

}  // namespace koral
