#include "cli/ProfileCommand.h"

#include <filesystem>

#include "firmware/ProfileTransfer.h"

namespace koral::cli {
namespace {

int Report(const ProfileOperationResult& result, const std::string& version, CliContext& context) {
  if (result.pass != ImagePassStatus::kDone) {
    context.err << "Le fichier Settings.dat du Koral ne peut pas être lu ou écrit.\n";
    return kExitFailed;
  }
  for (const ProfileIssue& issue : result.issues) context.err << DescribeProfileIssue(issue, version) << '\n';
  return result.issues.empty() ? kExitOk : kExitFailed;
}

}  // namespace

std::vector<std::string> ProfileCommand::Usage() const {
  return {"profile save FICHIER  sauve les mémoires radio et l'égaliseur \"Perso\" du Koral dans un profil",
          "profile load FICHIER  charge un profil dans le Koral"};
}

int ProfileCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (args.size() != 2 || (args[0] != "save" && args[0] != "load")) return kExitUsage;
  if (context.firmwareVersion.empty()) {
    context.err << "Aucune version de firmware n'est choisie.\n";
    return kExitFailed;
  }
  if (!RequirePlayer(context)) return kExitFailed;
  const std::filesystem::path file = std::filesystem::absolute(args[1]);
  if (args[0] == "load")
    return Report(LoadProfile(context.configIni, context.firmwareVersion, context.playerRoot, file),
                  context.firmwareVersion, context);
  const auto result = SaveProfile(context.configIni, context.firmwareVersion, context.playerRoot, file);
  const int status = Report(result, context.firmwareVersion, context);
  if (result.pass != ImagePassStatus::kDone || result.profileWritten) return status;
  context.err << "Le fichier de profil ne peut pas être créé : " << file.string() << '\n';
  return kExitFailed;
}

}  // namespace koral::cli
