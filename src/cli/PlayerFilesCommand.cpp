// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlayerFilesCommand.h"

#include <cerrno>
#include <optional>

#include "core/files/ErrorText.h"
#include "core/files/Paths.h"
#include "core/files/PlayerFileOps.h"

namespace koral::cli {
namespace {

std::optional<PlayerFiles> OpenPlayerFiles(CliContext& context) {
  if (!RequirePlayer(context)) return std::nullopt;
  try {
    return PlayerFiles(*context.playerRoot);
  } catch (const PlayerPathError&) {
    context.err << "La racine de l'Koral n'est pas utilisable : " << *context.playerRoot << '\n';
    return std::nullopt;
  }
}

// Every entry that could not be removed, files included; true when there was none.
bool ReportFailures(const std::vector<RemovalFailure>& failures, CliContext& context) {
  for (const RemovalFailure& failure : failures) context.err << RemovalFailureText(failure) << '\n';
  return failures.empty();
}

// Relative paths start at the player root; absolute ones are checked as they are.
std::string OnPlayer(const PlayerFiles& files, const std::string& path) {
  return !path.empty() && path.front() == '/' ? path : JoinPath(files.Root().string(), path);
}

// Why an entry cannot be looked at: nothing there, or a name too long, ...; 0 when it exists.
int MissingReason(const std::string& path) {
  std::error_code error;
  const bool exists = std::filesystem::exists(std::filesystem::symlink_status(path, error));
  return exists ? 0 : error ? error.value() : ENOENT;
}

bool DeleteOne(const PlayerFiles& files, const std::string& argument, CliContext& context) {
  const std::string path = OnPlayer(files, argument);
  try {
    const int missing = MissingReason(path);
    const std::vector<RemovalFailure> failures = files.DeleteEntry(path);
    if (missing == 0) return ReportFailures(failures, context);
    if (missing == ENOENT || missing == ENOTDIR) context.err << "'" << argument << "' n'existe pas sur l'Koral.\n";
    else context.err << "Suppression impossible : '" << argument << "' : " << DescribeError(missing) << ".\n";
  } catch (const PlayerPathError&) {
    context.err << "'" << argument << "' n'est pas sur l'Koral : rien n'a été supprimé.\n";
  }
  return false;
}

const char* WhyRefused(const PlayerPathError& error) {
  if (error.GetReason() == PlayerPathError::Reason::BadName)
    return "le nom est vide, absolu, contient '..' ou un caractère que l'Koral refuse";
  return "le répertoire serait hors de l'Koral";
}

}  // namespace

const std::vector<CommandForm>& RmCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"",
       {"CHEMIN..."},
       {},
       "supprime des fichiers ou des dossiers de l'Koral (chemins depuis sa racine)",
       OptionPlacement::kAnywhere}};
  return forms;
}

int RmCommand::Run(const Invocation& invocation, CliContext& context) {
  const std::optional<PlayerFiles> files = OpenPlayerFiles(context);
  if (!files) return kExitFailed;
  bool done = true;
  for (const std::string& argument : invocation.operands) done = DeleteOne(*files, argument, context) && done;
  return done ? kExitOk : kExitFailed;
}

const std::vector<CommandForm>& EmptyCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"", {}, {}, "vide l'Koral, sauf les fichiers DAT et INI de sa racine"}};
  return forms;
}

int EmptyCommand::Run(const Invocation&, CliContext& context) {
  const std::optional<PlayerFiles> files = OpenPlayerFiles(context);
  if (!files) return kExitFailed;
  if (files->IsEmpty()) {
    context.err << "L'Koral est vide !\n";
    return kExitOk;
  }
  return ReportFailures(files->EmptyPlayer(), context) ? kExitOk : kExitFailed;
}

const std::vector<CommandForm>& MkdirCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"", {"NOM"}, {}, "crée un répertoire sur l'Koral (chemin depuis sa racine)", OptionPlacement::kAnywhere}};
  return forms;
}

int MkdirCommand::Run(const Invocation& invocation, CliContext& context) {
  const std::string& name = invocation.operands[0];
  const std::optional<PlayerFiles> files = OpenPlayerFiles(context);
  if (!files) return kExitFailed;
  try {
    const FolderCreation creation = files->CreateFolder(files->Root().string(), name);
    if (!creation.error) {
      if (const std::string renamed = FolderRenameText(creation); !renamed.empty()) context.err << renamed << '\n';
      return kExitOk;
    }
    context.err << "Création du répertoire impossible : " << name << " : " << FolderCreationFailureReason(creation)
                << '\n';
  } catch (const PlayerPathError& refused) {
    context.err << "Création du répertoire impossible : '" << name << "' : " << WhyRefused(refused) << ".\n";
  }
  return kExitFailed;
}

}  // namespace koral::cli
