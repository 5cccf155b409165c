#include "files/CopyReport.h"

#include "files/ErrorText.h"

namespace koral {
namespace {

constexpr size_t kMaxListedEntries = 25;  // a message box must still fit on the screen

std::string ListFailures(const std::string& heading, const std::vector<CopyFailure>& failures) {
  std::string text = heading;
  for (size_t i = 0; i < failures.size() && i < kMaxListedEntries; ++i)
    text += "\n" + failures[i].path + " : " + DescribeCopyFailure(failures[i]);
  if (failures.size() > kMaxListedEntries)
    text += "\n... et " + std::to_string(failures.size() - kMaxListedEntries) + " autres.";
  return text;
}

}  // namespace

std::string DescribeCopyFailure(const CopyFailure& failure) {
  switch (failure.fault) {
    case CopyFault::SourceMissing: return "fichier introuvable";
    case CopyFault::SourceUnreadable: return "lecture impossible (" + DescribeError(failure.error, ErrorSide::kComputer) + ")";
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
  }
  return {};
}

std::string FormatCopyReport(const std::vector<CopyFailure>& failures, bool stoppedOnFullPlayer) {
  if (failures.empty()) return {};
  std::string text = ListFailures("Ces éléments n'ont pas été copiés :", failures);
  if (stoppedOnFullPlayer) text += "\nL'Koral est plein : la copie a été arrêtée.";
  return text;
}

std::string FormatRefusedReport(const std::vector<CopyFailure>& refused) {
  if (refused.empty()) return {};
  return ListFailures("Ces éléments ne seront pas copiés :", refused);
}

}  // namespace koral
