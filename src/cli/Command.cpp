// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Command.h"

#include <algorithm>
#include <filesystem>

#include "cli/HelpText.h"
#include "core/config/TextEncoding.h"
#include "core/files/Paths.h"
#include "core/firmware/FirmwareVersions.h"

namespace koral::cli {
namespace {

// The text with a capital first: "écriture impossible …" → "Écriture impossible …".
std::string AsSentence(std::string text) {
  constexpr std::string_view kSmallE = "é";
  constexpr std::string_view kCapitalE = "É";
  if (text.starts_with(kSmallE)) return std::string(kCapitalE) + text.substr(kSmallE.size());
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

bool IsVariadic(const CommandForm& form) { return !form.operands.empty() && form.operands.back().ends_with("..."); }

bool OperandCountFits(const CommandForm& form, size_t count) {
  return IsVariadic(form) ? count >= form.operands.size() : count == form.operands.size();
}

std::string SubcommandList(const std::vector<CommandForm>& forms) {
  std::string list;
  for (size_t i = 0; i < forms.size(); ++i) {
    if (i > 0) list += i + 1 == forms.size() ? " ou " : ", ";
    list += forms[i].subcommand;
  }
  return list;
}

bool IsHelpWord(const std::string& word) { return word == "--help" || word == "-h"; }

// Config.ini is there, and a version given with --firmware is one it knows:
// else every layout would be missing, and the command would say so key by key.
int CheckConfigIni(CliContext& context) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(context.configIni, error)) {
    context.err << "Config.ini est absent du dossier de configuration '" << context.configIni.parent_path().string()
                << "'.\n";
    return kExitFailed;
  }
  if (!context.firmwareGiven) return kExitOk;
  const std::vector<std::string> versions = ReadVersionList(context.configIni);
  if (std::any_of(versions.begin(), versions.end(),
                  [&](const std::string& version) { return EqualNoCase(version, context.firmwareVersion); }))
    return kExitOk;
  std::string known;
  for (const std::string& version : versions)
    if (!version.empty()) known += (known.empty() ? "" : ", ") + version;
  return ReportUsageError(context.err,
                          "Version de firmware inconnue : " + context.firmwareVersion + " (" +
                              (known.empty() ? "Config.ini n'en donne aucune" : "versions connues : " + known) + ").");
}

}  // namespace

OptionDefinition JsonOption() { return {"json", "", "sortie JSON : clés stables, nombres plutôt que libellés"}; }

int ReportUsageError(std::ostream& err, std::string_view line) {
  err << line << "\nEssayez « koralctl --help ».\n";
  return kExitUsage;
}

std::string Command::Syntax(const CommandForm& form) const {
  std::string syntax(Name());
  if (!form.subcommand.empty()) syntax += " " + form.subcommand;
  for (const OptionDefinition& option : form.options) syntax += " [" + OptionSyntax(option) + "]";
  for (const std::string& operand : form.operands) syntax += " " + operand;
  return syntax;
}

void Command::PrintHelp(std::ostream& out) const {
  out << "Utilisation : koralctl [OPTION...] " << Name()
      << (Forms().front().subcommand.empty() ? " ..." : " SOUS-COMMANDE ...") << "\n\n";
  HelpRows forms;
  HelpRows options;
  for (const CommandForm& form : Forms()) {
    forms.emplace_back(Syntax(form), form.summary);
    for (const OptionDefinition& option : form.options) {
      const std::string syntax = OptionSyntax(option);
      if (std::none_of(options.begin(), options.end(), [&](const auto& row) { return row.first == syntax; }))
        options.emplace_back(syntax, option.summary);
    }
  }
  options.emplace_back("-h, --help", "affiche cette aide");
  PrintHelpRows(out, forms);
  out << "\nOptions :\n";
  PrintHelpRows(out, options);
}

const CommandForm* Command::FindForm(const std::vector<std::string>& words, CliContext& context) const {
  const std::vector<CommandForm>& forms = Forms();
  if (forms.front().subcommand.empty()) return &forms.front();
  if (words.empty()) {
    ReportUsageError(context.err,
                     "Sous-commande manquante pour " + std::string(Name()) + " : " + SubcommandList(forms) + ".");
    return nullptr;
  }
  for (const CommandForm& form : forms)
    if (form.subcommand == words.front()) return &form;
  ReportUsageError(context.err, "Sous-commande inconnue pour " + std::string(Name()) + " : " + words.front() + " (" +
                                    SubcommandList(forms) + ").");
  return nullptr;
}

int Command::Execute(const std::vector<std::string>& words, CliContext& context) {
  if (!words.empty() && IsHelpWord(words.front())) {
    PrintHelp(context.out);
    return kExitOk;
  }
  const CommandForm* form = FindForm(words, context);
  if (form == nullptr) return kExitUsage;
  const std::vector<std::string> rest(words.begin() + (form->subcommand.empty() ? 0 : 1), words.end());
  ParsedOptions options = ParseOptions(rest, form->options, form->placement);
  if (options.help) {
    PrintHelp(context.out);
    return kExitOk;
  }
  if (!options.error.empty()) return ReportUsageError(context.err, options.error);
  if (!OperandCountFits(*form, options.operands.size()))
    return ReportUsageError(context.err, "Utilisation : koralctl " + Syntax(*form));
  if (ReadsConfigIni())
    if (const int status = CheckConfigIni(context); status != kExitOk) return status;
  std::vector<std::string> operands = std::move(options.operands);
  return Run(Invocation{*form, std::move(operands), std::move(options)}, context);
}

bool RequirePlayer(CliContext& context) {
  if (context.playerRoot) return true;
  context.err << "L'Koral n'a pas été détecté.\n";
  return false;
}

void ReportImageNotOpened(CliContext& context) {
  context.err << "Impossible d'ouvrir " << SettingsImagePath(context.playerRoot.value_or("")) << ".\n";
}

bool ReportPassFailure(ImagePassResult result, ImageTransfer transfer, CliContext& context) {
  if (result == ImagePassResult::kOk) return false;
  if (result == ImagePassResult::kImageNotOpened) ReportImageNotOpened(context);
  else context.err << AsSentence(ImagePassText(result, transfer)) << '\n';
  return true;
}

}  // namespace koral::cli
