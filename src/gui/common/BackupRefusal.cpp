// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/BackupRefusal.h"

#include <QString>

#include "gui/common/Prompt.h"

bool ReportRefusedWrite(QWidget* parent, koral::ImagePassResult result) {
  using koral::ImagePassResult;
  if (result != ImagePassResult::kBackupFailed && result != ImagePassResult::kReadOnly) return false;
  const QString title =
      result == ImagePassResult::kBackupFailed ? QStringLiteral("Sauvegarde impossible") : QStringLiteral("Erreur");
  Prompt::Message(parent, QString::fromStdString(koral::ImagePassText(result, koral::ImageTransfer::kWrite)), title);
  return true;
}
