#include "cli/Command.h"

#include "files/Paths.h"
#include "settings/ImageBackup.h"

namespace koral::cli {

bool RequirePlayer(CliContext& context) {
  if (context.playerRoot) return true;
  context.err << "L'Koral n'a pas été détecté.\n";
  return false;
}

void ReportImageNotOpened(CliContext& context) {
  context.err << "Impossible d'ouvrir " << SettingsImagePath(context.playerRoot.value_or("")) << ".\n";
}

void ReportBackupRefused(CliContext& context) { context.err << BackupRefusedMessage() << '\n'; }

}  // namespace koral::cli
