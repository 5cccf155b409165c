// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/BackupRefusal.h"

#include <QString>

#include "gui/common/Prompt.h"
#include "core/settings/ImageBackup.h"
#include "core/settings/SettingsFile.h"

void ReportBackupRefused(QWidget* parent) {
  Prompt::Message(parent, QString::fromStdString(koral::BackupRefusedMessage()),
                  QStringLiteral("Sauvegarde impossible"));
}

void ReportReadOnlyPlayer(QWidget* parent) {
  Prompt::Message(parent, QString::fromStdString(koral::ReadOnlyImageMessage()), QStringLiteral("Erreur"));
}
