// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/files/PlayerFileOps.h"

namespace koral {

// Up to this many selected entries, the delete question names them.
inline constexpr std::size_t kNamesInDeleteQuestion = 5;

// "Supprimer 2 éléments de l'Koral (14 fichiers, 52.3 Mo) ?", then the
// names one a line when there are kNamesInDeleteQuestion or fewer.
std::string DeleteQuestionText(const std::vector<std::string>& names, const RemovalTally& tally);

// "Vider l'Koral : 120 fichiers (1.20 Go) seront supprimés ; les fichiers
// DAT et INI de sa racine sont gardés."
std::string EmptyQuestionText(const RemovalTally& tally);

// One message for every file that stayed, each with its reason; empty when
// none did. Folders are told one by one with RemovalFailureText.
std::string FileRemovalReport(const std::vector<RemovalFailure>& failures);

}  // namespace koral
