// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/RemovalText.h"

#include <algorithm>

#include "core/config/TextEncoding.h"
#include "core/copy/CopyReport.h"
#include "core/files/SizeText.h"

namespace koral {
namespace {

// French counts: "0 fichier", "1 fichier", "2 fichiers".
std::string Counted(std::uint64_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count > 1 ? "s" : "");
}

std::string SizeOf(const RemovalTally& tally) { return FormatSize(static_cast<std::int64_t>(tally.bytes)); }

}  // namespace

std::string DeleteQuestionText(const std::vector<std::string>& names, const RemovalTally& tally) {
  std::string text = "Supprimer " + Counted(names.size(), "élément") + " de l'Koral (" +
                     Counted(tally.files, "fichier") + ", " + SizeOf(tally) + ") ?";
  if (names.size() <= kNamesInDeleteQuestion) {
    text += "\n";
    for (const std::string& name : names) text += "\n" + ToUtf8(name);
  }
  return text;
}

std::string EmptyQuestionText(const RemovalTally& tally) {
  return "Vider l'Koral : " + Counted(tally.files, "fichier") + " (" + SizeOf(tally) + ")" +
         (tally.files > 1 ? " seront supprimés" : " sera supprimé") +
         " ; les fichiers DAT et INI de sa racine sont gardés.";
}

std::string FileRemovalReport(const std::vector<RemovalFailure>& failures) {
  std::vector<const RemovalFailure*> files;
  for (const RemovalFailure& failure : failures)
    if (!failure.folder) files.push_back(&failure);
  if (files.empty()) return {};
  if (files.size() == 1) return RemovalFailureText(*files.front());
  std::string text = "Impossible de supprimer " + Counted(files.size(), "fichier") + " :";
  const std::size_t listed = std::min(files.size(), kEntriesListedInABox);
  for (std::size_t i = 0; i < listed; ++i) text += "\n'" + files[i]->path + "' : " + RemovalFailureReason(*files[i]);
  if (files.size() > listed) text += "\n... et " + Counted(files.size() - listed, "autre") + ".";
  return text;
}

}  // namespace koral
