#include "cli/PlayerFilesCommand.h"

#include <optional>

#include "files/Paths.h"
#include "files/PlayerFileOps.h"

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
  for (const RemovalFailure& failure : failures) {
    if (failure.otherVolume) context.err << *RemovalFailureText(failure, false) << '\n';
    else context.err << "Suppression impossible : " << failure.path << " : " << failure.error.message() << '\n';
  }
  return failures.empty();
}

// Relative paths start at the player root; absolute ones are checked as they are.
std::string OnPlayer(const PlayerFiles& files, const std::string& path) {
  return !path.empty() && path.front() == '/' ? path : JoinPath(files.Root().string(), path);
}

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

bool DeleteOne(const PlayerFiles& files, const std::string& argument, CliContext& context) {
  const std::string path = OnPlayer(files, argument);
  try {
    const bool existed = Exists(path);
    const std::vector<RemovalFailure> failures = files.DeleteEntry(path);
    if (existed) return ReportFailures(failures, context);
    context.err << "'" << argument << "' n'existe pas sur l'Koral.\n";
  } catch (const PlayerPathError&) {
    context.err << "'" << argument << "' n'est pas sur l'Koral : rien n'a été supprimé.\n";
  }
  return false;
}

const char* WhyRefused(const PlayerPathError& error) {
  if (error.GetReason() == PlayerPathError::Reason::BadName)
    return "le nom est vide, absolu ou contient '..'";
  return "le répertoire serait hors de l'Koral";
}

}  // namespace

int RmCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (args.empty()) return kExitUsage;
  const std::optional<PlayerFiles> files = OpenPlayerFiles(context);
  if (!files) return kExitFailed;
  bool done = true;
  for (const std::string& argument : args) done = DeleteOne(*files, argument, context) && done;
  return done ? kExitOk : kExitFailed;
}

int EmptyCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (!args.empty()) return kExitUsage;
  const std::optional<PlayerFiles> files = OpenPlayerFiles(context);
  if (!files) return kExitFailed;
  if (files->IsEmpty()) {
    context.err << "L'Koral est vide !\n";
    return kExitOk;
  }
  return ReportFailures(files->EmptyPlayer(), context) ? kExitOk : kExitFailed;
}

int MkdirCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (args.size() != 1) return kExitUsage;
  const std::optional<PlayerFiles> files = OpenPlayerFiles(context);
  if (!files) return kExitFailed;
  try {
    const std::error_code error = files->CreateFolder(files->Root().string(), args[0]);
    if (!error) return kExitOk;
    context.err << "Création du répertoire impossible : " << args[0] << " : " << error.message() << '\n';
  } catch (const PlayerPathError& refused) {
    context.err << "Création du répertoire impossible : '" << args[0] << "' : " << WhyRefused(refused) << ".\n";
  }
  return kExitFailed;
}

}  // namespace koral::cli
