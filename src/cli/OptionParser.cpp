// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/OptionParser.h"

#include <getopt.h>

#include <algorithm>

namespace koral::cli {
namespace {

// getopt_long's code of a long option; short options return their letter.
constexpr int kLongCodes = 256;

const OptionDefinition kHelp{"help", "", "affiche cette aide", 'h'};

struct GetoptTables {
  std::vector<const OptionDefinition*> definitions;
  std::vector<option> longOptions;
  std::string shortOptions;
};

GetoptTables MakeTables(std::span<const OptionDefinition> options, OptionPlacement placement) {
  GetoptTables tables;
  tables.definitions.push_back(&kHelp);
  for (const OptionDefinition& definition : options) tables.definitions.push_back(&definition);
  // '+': stop at the first operand; ':': tell a missing value from an unknown option.
  tables.shortOptions = placement == OptionPlacement::kAnywhere ? ":" : "+:";
  for (size_t i = 0; i < tables.definitions.size(); ++i) {
    const OptionDefinition& definition = *tables.definitions[i];
    const int code = kLongCodes + static_cast<int>(i);
    const bool takesValue = definition.TakesValue();
    const int argument = !takesValue ? no_argument : definition.valueOptional ? optional_argument : required_argument;
    tables.longOptions.push_back({definition.name.c_str(), argument, nullptr, code});
    if (definition.shortName != '\0')
      tables.shortOptions += std::string(1, definition.shortName) + (takesValue ? ":" : "");
  }
  tables.longOptions.push_back({nullptr, 0, nullptr, 0});
  return tables;
}

const OptionDefinition* DefinitionOfCode(const GetoptTables& tables, int code) {
  if (code >= kLongCodes) return tables.definitions.at(static_cast<size_t>(code - kLongCodes));
  for (const OptionDefinition* definition : tables.definitions)
    if (definition->shortName != '\0' && definition->shortName == code) return definition;
  return nullptr;
}

// The option getopt stopped on: a letter of a short option, else the long
// word it last took, without a value given with '='.
std::string OffendingOption(const std::vector<char*>& argv, int code) {
  if (code > 0 && code < kLongCodes) return std::string("-") + static_cast<char>(code);
  const std::string word = argv[static_cast<size_t>(optind) - 1];
  return word.substr(0, word.find('='));
}

std::string ErrorLine(int result, const GetoptTables& tables, const std::vector<char*>& argv) {
  const OptionDefinition* definition = optopt != 0 ? DefinitionOfCode(tables, optopt) : nullptr;
  const std::string word = OffendingOption(argv, optopt);
  if (result == ':') return "L'option " + word + " demande une valeur (" + definition->valueName + ").";
  if (definition != nullptr) return "L'option " + word + " ne prend pas de valeur.";
  return "Option inconnue : " + word;
}

}  // namespace

bool ParsedOptions::Has(std::string_view name) const {
  return std::any_of(given.begin(), given.end(), [name](const auto& option) { return option.first == name; });
}

std::optional<std::string> ParsedOptions::Value(std::string_view name) const {
  for (auto option = given.rbegin(); option != given.rend(); ++option)
    if (option->first == name) return option->second;
  return std::nullopt;
}

ParsedOptions ParseOptions(const std::vector<std::string>& words, std::span<const OptionDefinition> options,
                           OptionPlacement placement) {
  const GetoptTables tables = MakeTables(options, placement);
  std::vector<std::string> storage{"koralctl"};
  storage.insert(storage.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& word : storage) argv.push_back(word.data());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(storage.size());

  ParsedOptions parsed;
  optind = 0;  // getopt keeps its place between calls: 0 starts it afresh
  opterr = 0;
  int result = 0;
  while ((result = getopt_long(argc, argv.data(), tables.shortOptions.c_str(), tables.longOptions.data(), nullptr)) !=
         -1) {
    if (result == '?' || result == ':') {
      parsed.error = ErrorLine(result, tables, argv);
      return parsed;
    }
    const OptionDefinition* definition = DefinitionOfCode(tables, result);
    if (definition == &kHelp) parsed.help = true;
    else parsed.given.emplace_back(definition->name, optarg != nullptr ? optarg : "");
  }
  for (int i = optind; i < argc; ++i) parsed.operands.emplace_back(argv[static_cast<size_t>(i)]);
  // getopt took a "--" only before the first operand: "eq set 1 -- 12 -2" has one after it.
  const bool endMarkerTaken = optind > 1 && storage[static_cast<size_t>(optind) - 1] == "--";
  if (placement == OptionPlacement::kBeforeOperands && !endMarkerTaken)
    if (const auto marker = std::find(parsed.operands.begin(), parsed.operands.end(), "--");
        marker != parsed.operands.end())
      parsed.operands.erase(marker);
  return parsed;
}

std::string OptionSyntax(const OptionDefinition& option) {
  std::string syntax = option.shortName != '\0' ? std::string("-") + option.shortName + ", " : "";
  syntax += "--" + option.name;
  if (option.TakesValue()) syntax += option.valueOptional ? "[=" + option.valueName + "]" : "=" + option.valueName;
  return syntax;
}

}  // namespace koral::cli
