// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/platform/XdgFolders.h"

#include <cstdlib>

namespace koral {
namespace {

std::filesystem::path XdgFolder(const char* variable, const char* fallbackUnderHome) {
  const char* value = std::getenv(variable);
  if (value != nullptr && *value == '/') return value;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home ? home : "/tmp") / fallbackUnderHome;
}

}  // namespace

std::filesystem::path XdgConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
std::filesystem::path XdgStateHome() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }
std::filesystem::path XdgDataHome() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

}  // namespace koral
