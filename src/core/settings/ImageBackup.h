// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

#include "core/platform/RunContext.h"

namespace koral {

// Before the first write of a run to a settings image, a complete copy of it
// is kept in $XDG_STATE_HOME/koral-config/backups with the date and time in
// its name; the newest 20 copies are kept. Returns false when no complete
// copy could be kept (the folder cannot be made, the disk is full, the image
// cannot be read): the image must then not be written. An empty image needs
// no copy.
bool BackUpImageBeforeFirstWrite(const std::filesystem::path& image);

// The backups' folder is the run's: each front end sets it from its context
// once at start. Unset, no backup can be kept, so nothing is written.
void SetImageBackupFolder(const RunContext& context);
std::filesystem::path ImageBackupFolder();

// The French refusal of a write whose backup failed; it names the folder.
std::string BackupRefusedMessage();

// Forgets which images were already backed up in this run.
void ResetImageBackupsForTesting();

}  // namespace koral
