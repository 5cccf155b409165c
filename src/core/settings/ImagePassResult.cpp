// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ImagePassResult.h"

#include "core/settings/ImageBackup.h"
#include "core/settings/SettingsFile.h"

namespace koral {

std::string ImagePassText(ImagePassResult result, ImageTransfer transfer) {
  switch (result) {
    case ImagePassResult::kOk: return {};
    case ImagePassResult::kImageNotOpened: return "fichier de configuration absent.";
    case ImagePassResult::kTransferFailed:
      return transfer == ImageTransfer::kRead ? "lecture impossible sur l'Koral." : "écriture impossible sur l'Koral.";
    case ImagePassResult::kBackupFailed: return BackupRefusedMessage();
    case ImagePassResult::kReadOnly: return ReadOnlyImageMessage();
  }
  return {};
}

}  // namespace koral
