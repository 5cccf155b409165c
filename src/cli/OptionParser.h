// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace koral::cli {

// One option of a command line, given as --name, --name=VALUE or --name VALUE;
// an optional value is only ever given as --name=VALUE.
struct OptionDefinition {
  std::string name;       // the long name, without "--"
  std::string valueName;  // for --help, "DOSSIER"; empty for an option without a value
  std::string summary;    // for --help
  char shortName = '\0';
  bool valueOptional = false;  // --name alone is taken too: its value is then empty
  bool TakesValue() const { return !valueName.empty(); }
};

// Where the options of a command line may stand.
enum class OptionPlacement {
  kBeforeOperands,  // the first operand ends them: later words may begin with '-' (gains "-5"),
                    // and a "--" among them still only marks the end of the options
  kAnywhere,        // mixed with the operands, as GNU tools take them
  kBeforeCommand,   // the first operand is a command: it and every later word, "--" too, are its own
};

struct ParsedOptions {
  std::vector<std::pair<std::string, std::string>> given;  // long name and value, in order
  std::vector<std::string> operands;
  bool help = false;  // -h or --help
  std::string error;  // one French line; empty when the words parsed

  bool Has(std::string_view name) const;
  // The value given last for an option.
  std::optional<std::string> Value(std::string_view name) const;
};

// The words after the program or command name, parsed with getopt_long:
// unambiguous abbreviations of long names are taken, "--" ends the options,
// and -h / --help is always known.
ParsedOptions ParseOptions(const std::vector<std::string>& words, std::span<const OptionDefinition> options,
                           OptionPlacement placement);

// The option as --help shows it: "-h, --help", "--to=DOSSIER", "--convert[=KBPS]".
std::string OptionSyntax(const OptionDefinition& option);

}  // namespace koral::cli
