// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/ImagePassResult.h"

class QWidget;

// A settings write the pass refused, told while the program goes on: no
// complete backup of the image could be kept (the message names the backup
// folder), or the player's image can only be read. False, telling nothing,
// for any other result.
bool ReportRefusedWrite(QWidget* parent, koral::ImagePassResult result);
