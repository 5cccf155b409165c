// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ProfileCommand.h"

#include <filesystem>

#include "core/config/PrivateProfile.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/firmware/ProfileTransfer.h"

namespace koral::cli {
namespace {

int Report(const ProfileOperationResult& result, const std::string& version, CliContext& context) {
  if (result.pass == ImagePassResult::kBackupFailed || result.pass == ImagePassResult::kReadOnly) {
    ReportPassFailure(result.pass, ImageTransfer::kWrite, context);
    return kExitFailed;
  }
  // The image not opened and a failed transfer read alike here.
  if (result.pass != ImagePassResult::kOk) {
    context.err << "Le fichier Settings.dat de l'Koral ne peut pas être lu ou écrit.\n";
    return kExitFailed;
  }
  for (const ProfileIssue& issue : result.issues) context.err << DescribeProfileIssue(issue, version) << '\n';
  return result.issues.empty() ? kExitOk : kExitFailed;
}

// The folder is kept for the window's profile dialogs: a Config.ini that
// refuses it is told, and the command's status is the profile's own.
void ReportUnrememberedFolder(const ProfileOperationResult& result, CliContext& context) {
  if (result.folderRemembered != FileWriteStatus::kWritten)
    context.err << UnwrittenOptionsText({context.configIni, result.folderRemembered}) << '\n';
}

}  // namespace

const std::vector<CommandForm>& ProfileCommand::Forms() const {
  static const std::vector<CommandForm> forms = {
      {"save", {"FICHIER"}, {}, "sauve les mémoires radio et l'égaliseur \"Perso\" de l'Koral dans un profil"},
      {"load", {"FICHIER"}, {}, "charge un profil dans l'Koral"}};
  return forms;
}

int ProfileCommand::Run(const Invocation& invocation, CliContext& context) {
  const bool load = invocation.form.subcommand == "load";
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
  const std::filesystem::path file = std::filesystem::absolute(invocation.operands[0]);
  if (load) {
    const auto result = LoadProfile(context.configIni, *version, context.playerRoot, file);
    ReportUnrememberedFolder(result, context);
    return Report(result, *version, context);
  }
  const auto result = SaveProfile(context.configIni, *version, context.playerRoot, file);
  ReportUnrememberedFolder(result, context);
  const int status = Report(result, *version, context);
  if (result.pass != ImagePassResult::kOk || result.profileWritten) return status;
  context.err << "Le fichier de profil ne peut pas être créé : " << file.string() << '\n';
  return kExitFailed;
}

}  // namespace koral::cli
