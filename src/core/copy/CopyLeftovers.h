// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// Removes what copies that are no longer running left on a player: each
// run folder of the hidden folder (copy/PartialCopyNames.h) whose lock can
// be taken, and the hidden folder once empty. A folder whose lock is held
// belongs to a copy still running and is never touched. Failures are
// ignored: a later start tries again.
void RemoveDeadCopyRuns(const std::string& playerRoot);

// Removes a run folder's files but its lock file. Links are removed, never
// followed.
void RemoveRunTemporaries(const std::string& runFolder);

// Removes a run folder's lock file and the folder, once its owner has let
// go of the lock: FUSE keeps an open file that is removed under another
// name, which would keep the folder.
void RemoveEmptyRunFolder(const std::string& runFolder);

}  // namespace koral
