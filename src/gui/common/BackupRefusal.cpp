// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/BackupRefusal.h"

#include <QString>

#include "common/Prompt.h"
#include "settings/ImageBackup.h"
#include "settings/SettingsFile.h"

void ReportBackupRefused(QWidget* parent) {
  Prompt::Message(parent, QString::fromStdString(koral::BackupRefusedMessage()),
                  QStringLiteral("Sauvegarde impossible"));
}

void ReportReadOnlyPlayer(QWidget* parent) {
  Prompt::Message(parent, QString::fromStdString(koral::ReadOnlyImageMessage()), QStringLiteral("Erreur"));
}
