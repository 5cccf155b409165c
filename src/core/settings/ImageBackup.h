#pragma once

#include <filesystem>

namespace koral {

// Before the first write of a run to a settings image, a copy of it is kept
// in $XDG_STATE_HOME/koral-config/backups with the date and time in its
// name; the newest 20 copies are kept.
void BackUpImageBeforeFirstWrite(const std::filesystem::path& image);

std::filesystem::path ImageBackupFolder();

// Forgets which images were already backed up in this run.
void ResetImageBackupsForTesting();

}  // namespace koral
