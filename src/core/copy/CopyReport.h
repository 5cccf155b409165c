// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "core/copy/CopyPlan.h"

namespace koral {

// Why one entry was not copied, in French ("fichier introuvable", ...).
std::string DescribeCopyFailure(const CopyFailure& failure);

// What a message box can list before "... et N autres.": it must still fit on the screen.
inline constexpr std::size_t kEntriesListedInABox = 25;

// The message listing what a finished copy left out; empty when nothing was.
// After a full player, the files never reached follow, counted, one
// "non copié : …" line each (at most `maxListed`).
std::string FormatCopyReport(const std::vector<CopyFailure>& failures, bool stoppedOnFullPlayer,
                             const std::vector<std::string>& notTried = {},
                             std::size_t maxListed = std::numeric_limits<std::size_t>::max());

// The message listing what is refused before the copy starts; empty when nothing is.
std::string FormatRefusedReport(const std::vector<CopyFailure>& refused);

// The plan's renames that reached the player: of a folder made (or merged
// into) or a file written under its new name, given the copy's `written`.
std::vector<CopyRename> WrittenRenames(const CopyPlan& plan, const std::vector<std::string>& written);

// One line per name changed for the player's file system, names as the
// lists show them: "renommé : a:b?.mp3 → a_b_.mp3"; empty when none was.
std::string FormatRenameReport(const std::vector<CopyRename>& renames,
                               std::size_t maxListed = std::numeric_limits<std::size_t>::max());

// "0:42", "1:02:03".
std::string FormatDuration(std::chrono::seconds duration);

// The last line of a copy: "Copié : 12 fichiers, 34.5 Mo en 0:03 ; 1 échec",
// with "; 3 non copiés" after a full player left files unreached.
std::string FormatCopySummary(int filesCopied, std::uint64_t bytesCopied, std::chrono::milliseconds elapsed,
                              std::size_t failures, std::size_t notTried = 0);

// A copy stopped on request, in the window's box:
// "Copie annulée : 2 fichiers copiés, 3 non copiés."
std::string FormatCancelledCopy(int filesCopied, int filesNotCopied);

// The same at the end of koralctl's summary: "copie interrompue, 3 non copiés".
std::string FormatInterruption(int filesNotCopied);

}  // namespace koral
