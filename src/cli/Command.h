#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace koral::cli {

// What every command is given: the global options resolved.
struct CliContext {
  std::filesystem::path configIni;
  std::filesystem::path radiosIni;
  std::optional<std::string> playerRoot;  // nullopt: no player
  std::string firmwareVersion;            // --firmware, else [firmware] version
  std::ostream& out;
  std::ostream& err;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// One koralctl command ("eq", "radio", ...): its words after the name.
class Command {
 public:
  virtual ~Command() = default;
  virtual std::string_view Name() const = 0;
  // Lines for --help, each "name ARGS  what it does".
  virtual std::vector<std::string> Usage() const = 0;
  virtual int Run(const std::vector<std::string>& args, CliContext& context) = 0;
};

// False, with a French message on stderr, when there is no player.
bool RequirePlayer(CliContext& context);

// The message for a settings image of the player that cannot be opened.
void ReportImageNotOpened(CliContext& context);

// The message for a write refused because no complete backup of the image
// could be kept; it names the backup folder.
void ReportBackupRefused(CliContext& context);

}  // namespace koral::cli
