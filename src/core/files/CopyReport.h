// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "files/CopyPlan.h"

namespace koral {

// Why one entry was not copied, in French ("fichier introuvable", ...).
std::string DescribeCopyFailure(const CopyFailure& failure);

// The message listing what a finished copy left out; empty when nothing was.
std::string FormatCopyReport(const std::vector<CopyFailure>& failures, bool stoppedOnFullPlayer);

// The message listing what is refused before the copy starts; empty when nothing is.
std::string FormatRefusedReport(const std::vector<CopyFailure>& refused);

// What a message box can list before "... et N autres.": it must still fit on the screen.
inline constexpr std::size_t kEntriesListedInABox = 25;

// One line per name changed for the player's file system, names as the
// lists show them: "renommé : a:b?.mp3 → a_b_.mp3"; empty when none was.
std::string FormatRenameReport(const std::vector<CopyRename>& renames,
                               std::size_t maxListed = std::numeric_limits<std::size_t>::max());

// "0:42", "1:02:03".
std::string FormatDuration(std::chrono::seconds duration);

// The last line of a copy: "Copié : 12 fichiers, 34.5 Mo en 0:03 ; 1 échec".
std::string FormatCopySummary(int filesCopied, std::uint64_t bytesCopied, std::chrono::milliseconds elapsed,
                              std::size_t failures);

// A copy stopped on request, in the window's box:
// "Copie annulée : 2 fichiers copiés, 3 non copiés."
std::string FormatCancelledCopy(int filesCopied, int filesNotCopied);

// The same at the end of koralctl's summary: "copie interrompue, 3 non copiés".
std::string FormatInterruption(int filesNotCopied);

}  // namespace koral
