// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/CopyReport.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "core/config/TextEncoding.h"
#include "core/files/ErrorText.h"
#include "core/files/SizeText.h"

namespace koral {
namespace {

// French counts: "0 fichier", "1 fichier", "2 fichiers".
std::string Counted(std::uint64_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count > 1 ? "s" : "");
}

// "0 non copié", "1 non copié", "2 non copiés".
std::string NotCopied(int count) { return std::to_string(std::max(count, 0)) + " non copié" + (count > 1 ? "s" : ""); }

std::string MoreEntries(size_t count) { return "... et " + Counted(count, "autre") + "."; }

std::string ListFailures(const std::string& heading, const std::vector<CopyFailure>& failures) {
  std::string text = heading;
  for (size_t i = 0; i < failures.size() && i < kEntriesListedInABox; ++i)
    text += "\n" + failures[i].path + " : " + DescribeCopyFailure(failures[i]);
  if (failures.size() > kEntriesListedInABox) text += "\n" + MoreEntries(failures.size() - kEntriesListedInABox);
  return text;
}

}  // namespace

std::string DescribeCopyFailure(const CopyFailure& failure) {
  switch (failure.fault) {
    case CopyFault::SourceMissing: return "fichier introuvable";
    case CopyFault::SourceUnreadable:
      return "lecture impossible (" + DescribeError(failure.error, ErrorSide::kComputer) + ")";
    case CopyFault::NotRegularFile: return "ce n'est pas un fichier ordinaire";
    case CopyFault::SameFile: return "la source et la destination sont le même fichier";
    case CopyFault::FolderIntoItself: return "un dossier ne peut pas être copié dans lui-même";
    case CopyFault::LinkLoop: return "lien symbolique qui revient sur un dossier déjà copié";
    case CopyFault::NameTaken: return "un autre fichier de la copie porte déjà ce nom sur l'Koral";
    case CopyFault::TooBigForPlayer: return "fichier de 4 Go ou plus, trop gros pour l'Koral (FAT)";
    case CopyFault::NameReserved: return "ce nom est réservé au dossier des fichiers temporaires de la copie";
    case CopyFault::SourceChanged: return "le fichier a changé de taille pendant la copie";
    case CopyFault::DestinationUnwritable: return "écriture impossible (" + DescribeError(failure.error) + ")";
    case CopyFault::PlayerFull: return "l'Koral est plein";
    case CopyFault::NotSynced: return "écriture sur l'Koral non confirmée (" + DescribeError(failure.error) + ")";
    case CopyFault::VolumeNotSynced:
      return "l'Koral a signalé une erreur d'écriture hors des fichiers copiés, vérifiés un à un (" +
             DescribeError(failure.error) + ")";
    case CopyFault::VolumeSyncFailed:
      return "l'Koral a signalé une erreur d'écriture à la fin de la copie (" + DescribeError(failure.error) + ")";
    case CopyFault::OtherVolume: return "autre volume monté dans l'Koral : rien n'y a été copié";
    case CopyFault::AudioUnreadable:
      return failure.detail.empty() ? "fichier audio illisible" : "fichier audio illisible : " + failure.detail;
  }
  return {};
}

std::string FormatCopyReport(const std::vector<CopyFailure>& failures, bool stoppedOnFullPlayer,
                             const std::vector<std::string>& notTried, std::size_t maxListed) {
  if (failures.empty()) return {};
  std::string text = ListFailures("Ces éléments n'ont pas été copiés :", failures);
  if (!stoppedOnFullPlayer) return text;
  text += "\nL'Koral est plein : la copie a été arrêtée";
  if (notTried.empty()) return text + ".";
  text += ", " + NotCopied(static_cast<int>(notTried.size())) + " :";
  for (size_t i = 0; i < notTried.size() && i < maxListed; ++i) text += "\nnon copié : " + notTried[i];
  if (notTried.size() > maxListed) text += "\n" + MoreEntries(notTried.size() - maxListed);
  return text;
}

std::string FormatRefusedReport(const std::vector<CopyFailure>& refused) {
  if (refused.empty()) return {};
  return ListFailures("Ces éléments ne seront pas copiés :", refused);
}

std::vector<CopyRename> WrittenRenames(const CopyPlan& plan, const std::vector<std::string>& written) {
  // A rename is known by its source and its new name: one source may be
  // copied twice (a playlist naming a track twice), under two names.
  const std::unordered_set<std::string> onPlayer(written.begin(), written.end());
  std::unordered_set<std::string> reached;
  for (const CopyStep& step : plan.steps)
    if (onPlayer.count(step.destination) != 0)
      reached.insert(step.source + '\0' + std::filesystem::path(step.destination).filename().string());
  std::vector<CopyRename> kept;
  for (const CopyRename& rename : plan.renames)
    if (reached.count(rename.source + '\0' + rename.renamed) != 0) kept.push_back(rename);
  return kept;
}

std::string FormatRenameReport(const std::vector<CopyRename>& renames, std::size_t maxListed) {
  std::string text;
  for (size_t i = 0; i < renames.size() && i < maxListed; ++i) {
    if (!text.empty()) text += "\n";
    text += "renommé : " + ToUtf8(renames[i].original) + " → " + ToUtf8(renames[i].renamed);
  }
  if (renames.size() > maxListed) text += "\n" + MoreEntries(renames.size() - maxListed);
  return text;
}

std::string FormatDuration(std::chrono::seconds duration) {
  const auto total = std::max<std::int64_t>(0, duration.count());
  const auto twoDigits = [](std::int64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); };
  if (total >= 3600)
    return std::to_string(total / 3600) + ":" + twoDigits(total / 60 % 60) + ":" + twoDigits(total % 60);
  return std::to_string(total / 60) + ":" + twoDigits(total % 60);
}

std::string FormatCopySummary(int filesCopied, std::uint64_t bytesCopied, std::chrono::milliseconds elapsed,
                              std::size_t failures, std::size_t notTried) {
  const auto seconds = std::chrono::round<std::chrono::seconds>(elapsed);
  return "Copié : " + Counted(static_cast<std::uint64_t>(std::max(filesCopied, 0)), "fichier") + ", " +
         FormatSize(static_cast<std::int64_t>(bytesCopied)) + " en " + FormatDuration(seconds) + " ; " +
         (failures == 0 ? std::string("aucun échec") : Counted(failures, "échec")) +
         (notTried == 0 ? std::string() : " ; " + NotCopied(static_cast<int>(notTried)));
}

std::string FormatCancelledCopy(int filesCopied, int filesNotCopied) {
  const int copied = std::max(filesCopied, 0);
  const std::string participle = copied > 1 ? " copiés, " : " copié, ";
  return "Copie annulée : " + Counted(static_cast<std::uint64_t>(copied), "fichier") + participle +
         NotCopied(filesNotCopied) + ".";
}

std::string FormatInterruption(int filesNotCopied) { return "copie interrompue, " + NotCopied(filesNotCopied); }

}  // namespace koral
