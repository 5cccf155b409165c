// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// A settings write refused because no complete backup of the image could be
// kept: the message names the backup folder; the program goes on.
void ReportBackupRefused(QWidget* parent);

// A settings write refused because the player's image can only be read.
void ReportReadOnlyPlayer(QWidget* parent);
