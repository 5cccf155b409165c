// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/OptionParser.h"
#include "core/platform/RunContext.h"
#include "core/settings/ImagePassResult.h"

namespace koral::cli {

// What every command is given: the global options resolved.
struct CliContext {
  std::filesystem::path configIni;
  std::filesystem::path radiosIni;
  std::optional<std::string> playerRoot;  // nullopt: no player
  std::string firmwareVersion;            // --firmware, else [firmware] version
  std::ostream& out;
  std::ostream& err;
  bool firmwareGiven = false;  // the version came from --firmware
  RunContext run;              // the environment and the global options, for what loads modules
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// One way of calling a command: "eq set PRESET G62 ...", "copy [...] SOURCE...".
struct CommandForm {
  std::string subcommand;                 // empty for a command without subcommands
  std::vector<std::string> operands;      // their names; a last one ending in "..." takes one or more
  std::vector<OptionDefinition> options;  // besides -h / --help
  std::string summary;
  OptionPlacement placement = OptionPlacement::kBeforeOperands;
};

// The form a command line matched, with its operands and options.
struct Invocation {
  const CommandForm& form;
  std::vector<std::string> operands;
  ParsedOptions options;
  bool Json() const { return options.Has("json"); }
};

// One koralctl command ("eq", "radio", ...). The words after its name are
// checked against its forms here; Run sees only a command line that fits one.
class Command {
 public:
  virtual ~Command() = default;
  virtual std::string_view Name() const = 0;
  virtual const std::vector<CommandForm>& Forms() const = 0;
  virtual int Run(const Invocation& invocation, CliContext& context) = 0;
  // True for the commands that need Config.ini (the firmware's layouts and versions).
  virtual bool ReadsConfigIni() const { return false; }

  // Parses the words, answers --help, reports a usage error, or runs.
  int Execute(const std::vector<std::string>& words, CliContext& context);
  // "eq set PRESET G62 G250 G1K G4K G16K": a form as --help shows it.
  std::string Syntax(const CommandForm& form) const;
  void PrintHelp(std::ostream& out) const;

 private:
  const CommandForm* FindForm(const std::vector<std::string>& words, CliContext& context) const;
};

// The option of every command that prints what it shows as JSON.
OptionDefinition JsonOption();

// One line for a usage error, and where to look: returns kExitUsage.
int ReportUsageError(std::ostream& err, std::string_view line);

// False, with a French message on stderr, when there is no player.
bool RequirePlayer(CliContext& context);

// The message for a settings image of the player that cannot be opened.
void ReportImageNotOpened(CliContext& context);

// A failed pass over the player's settings image, told on stderr as a
// sentence ("Écriture impossible sur l'Koral."): false for kOk.
bool ReportPassFailure(ImagePassResult result, ImageTransfer transfer, CliContext& context);

}  // namespace koral::cli
