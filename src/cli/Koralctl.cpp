// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Koralctl.h"

#include "cli/Commands.h"
#include "cli/HelpText.h"
#include "core/about/VersionNotice.h"
#include "core/config/FirmwareLayout.h"
#include "core/config/ProgramFolder.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/platform/PlayerDetection.h"
#include "core/settings/ImageBackup.h"

namespace koral::cli {
namespace {

const std::vector<OptionDefinition>& GlobalOptions() {
  static const std::vector<OptionDefinition> options = {
      {"player", "DOSSIER", "la racine de l'Koral, sans détection (comme KORAL_PLAYER)"},
      {"config-dir", "DOSSIER", "le dossier de Config.ini et Radios.ini (comme KORAL_CONFIG_DIR)"},
      {"firmware", "VERSION", "la version de firmware à la place de [firmware] version"},
      {"version", "", "affiche la version de koralctl"}};
  return options;
}

void PrintHelp(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
  out << "Utilisation : koralctl [OPTION...] COMMANDE [ARGUMENT...]\n"
         "Musique, réglages et profils de l'Koral, sans fenêtre.\n\n"
         "Options :\n";
  HelpRows options{{"-h, --help", "affiche cette aide"}};
  for (const OptionDefinition& option : GlobalOptions()) options.emplace_back(OptionSyntax(option), option.summary);
  PrintHelpRows(out, options);
  out << "\nCommandes :\n";
  HelpRows rows;
  for (const auto& command : commands)
    for (const CommandForm& form : command->Forms()) rows.emplace_back(command->Syntax(form), form.summary);
  PrintHelpRows(out, rows);
  out << "\n« koralctl COMMANDE --help » décrit une commande.\n"
         "\nÉtat de sortie :\n";
  PrintHelpRows(out, {{"0", "succès"},
                      {"1", "l'opération a échoué"},
                      {"2", "erreur d'utilisation"},
                      {"128+N", "copie interrompue par le signal N (INT, TERM ou HUP)"}});
}

Command* FindCommand(const std::vector<std::unique_ptr<Command>>& commands, const std::string& name) {
  for (const auto& command : commands)
    if (command->Name() == name) return command.get();
  return nullptr;
}

// The command line over what the environment said.
RunContext WithGlobalOptions(RunContext context, const ParsedOptions& options) {
  if (const auto player = options.Value("player")) context.player = *player;
  if (const auto folder = options.Value("config-dir")) context.configDir = *folder;
  if (const auto version = options.Value("firmware")) context.firmware = *version;
  return context;
}

// As coreutils do: output that did not reach its file (a full disk, a
// closed pipe) fails the command, whatever it printed.
int CheckOutput(int status, std::ostream& out, std::ostream& err) {
  if (out.flush()) return status;
  err << "koralctl : erreur d'écriture sur la sortie standard.\n";
  return status == kExitOk ? kExitFailed : status;
}

int RunCommandLine(const std::vector<std::string>& arguments, const RunContext& environment, std::ostream& out,
                   std::ostream& err) {
  const auto commands = AllCommands();
  const ParsedOptions options = ParseOptions(arguments, GlobalOptions(), OptionPlacement::kBeforeCommand);
  if (!options.error.empty()) return ReportUsageError(err, options.error);
  if (options.help) {
    PrintHelp(out, commands);
    return kExitOk;
  }
  if (options.Has("version")) {
    out << VersionNotice("koralctl", KORAL_VERSION);
    return kExitOk;
  }
  if (options.operands.empty()) return ReportUsageError(err, "Commande manquante.");
  const std::string& name = options.operands.front();
  Command* command = FindCommand(commands, name);
  if (command == nullptr) return ReportUsageError(err, "Commande inconnue : " + name);

  const RunContext run = WithGlobalOptions(environment, options);
  SetImageBackupFolder(run);
  const std::filesystem::path folder = PrepareProgramFolder(run);
  CliContext context{folder / "Config.ini",
                     folder / "Radios.ini",
                     FindPlayerRoot(run),
                     run.firmware.value_or(""),
                     out,
                     err,
                     run.firmware.has_value(),
                     run};
  if (context.firmwareVersion.empty()) context.firmwareVersion = ReadFirmwareVersion(context.configIni);
  return command->Execute({options.operands.begin() + 1, options.operands.end()}, context);
}

}  // namespace

int RunKoralctl(const std::vector<std::string>& arguments, const RunContext& environment, std::ostream& out,
                std::ostream& err) {
  return CheckOutput(RunCommandLine(arguments, environment, out, err), out, err);
}

}  // namespace koral::cli
