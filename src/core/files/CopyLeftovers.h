// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// Removes what copies that are no longer running left on a player: each
// run folder of the hidden folder (files/PartialCopyNames.h) whose lock can
// be taken, and the hidden folder once empty. A folder whose lock is held
// belongs to a copy still running and is never touched. Failures are
// ignored: a later start tries again.
void RemoveDeadCopyRuns(const std::string& playerRoot);

// Removes a run folder's files, its lock file last, and the folder. Links
// are removed, never followed.
void RemoveRunFolder(const std::string& runFolder);

}  // namespace koral
