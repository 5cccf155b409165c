// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace koral {

// What a run was told: each front end builds one from its command line and,
// once at start, the environment, and passes it down. The core itself reads
// no environment variable.
struct RunContext {
  std::string player;                               // the player's root (--player, KORAL_PLAYER); empty: detected
  std::filesystem::path configDir;                  // --config-dir, KORAL_CONFIG_DIR; empty: the usual choice
  std::optional<std::string> firmware;              // koralctl --firmware, over [firmware] version
  std::string mountTable = "/proc/self/mountinfo";  // KORAL_MOUNT_TABLE (tests plug a player in)
  std::string sysBlock = "/sys/class/block";        // KORAL_SYS_BLOCK
  std::filesystem::path convertModule;              // KORAL_CONVERT_MODULE; empty: the installed module
  // The XDG base folders, with their usual defaults under $HOME.
  std::filesystem::path configHome;
  std::filesystem::path stateHome;
  std::filesystem::path dataHome;

  // A named player is fixed for the whole run: detection is skipped.
  bool PlayerIsNamed() const { return !player.empty(); }
};

// A variable's value, or nullptr when it is not set: the front end reads the environment.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The context the environment gives, before the command line has its say.
RunContext RunContextFromEnvironment(const EnvironmentLookup& lookup);

}  // namespace koral
