#include "cli/ProfileCommand.h"

#include <filesystem>

#include "firmware/FirmwareVersions.h"
#include "firmware/ProfileTransfer.h"

namespace koral::cli {
namespace {

int Report(const ProfileOperationResult& result, const std::string& version, CliContext& context) {
  if (result.pass == ImagePassStatus::kBackupFailed) {
    ReportBackupRefused(context);
    return kExitFailed;
  }
  if (result.pass != ImagePassStatus::kDone) {
    context.err << "Le fichier Settings.dat de l'Koral ne peut pas être lu ou écrit.\n";
    return kExitFailed;
  }
  for (const ProfileIssue& issue : result.issues) context.err << DescribeProfileIssue(issue, version) << '\n';
  return result.issues.empty() ? kExitOk : kExitFailed;
}

}  // namespace

std::vector<std::string> ProfileCommand::Usage() const {
  return {"profile save FICHIER  sauve les mémoires radio et l'égaliseur \"Perso\" de l'Koral dans un profil",
          "profile load FICHIER  charge un profil dans l'Koral"};
}

int ProfileCommand::Run(const std::vector<std::string>& args, CliContext& context) {
  if (args.size() != 2 || (args[0] != "save" && args[0] != "load")) return kExitUsage;
  if (context.firmwareVersion.empty()) {
    context.err << "Aucune version de firmware n'est choisie.\n";
    return kExitFailed;
  }
  // The version section is the one the firmware dialog would have selected.
  const auto version = ListedVersionFor(context.configIni, context.firmwareVersion);
  if (!version) {
    context.err << "La version " << context.firmwareVersion << " n'est pas dans la liste des firmwares disponibles.\n";
    return kExitFailed;
  }
  if (!RequirePlayer(context)) return kExitFailed;
  const std::filesystem::path file = std::filesystem::absolute(args[1]);
  if (args[0] == "load")
    return Report(LoadProfile(context.configIni, *version, context.playerRoot, file), *version, context);
  const auto result = SaveProfile(context.configIni, *version, context.playerRoot, file);
  const int status = Report(result, *version, context);
  if (result.pass != ImagePassStatus::kDone || result.profileWritten) return status;
  context.err << "Le fichier de profil ne peut pas être créé : " << file.string() << '\n';
  return kExitFailed;
}

}  // namespace koral::cli
