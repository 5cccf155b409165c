// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/ErrorText.h"

#include <cerrno>

namespace koral {
namespace {

std::string DescribeComputerError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return "fichier introuvable";
    case EIO: return "erreur de lecture sur l'ordinateur";
    default: return {};
  }
}

std::string DescribePlayerError(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return "introuvable (l'Koral a-t-il été débranché ?)";
    case EROFS: return "l'Koral est en lecture seule";
    case EINVAL:
    case EILSEQ: return "nom refusé par l'Koral";
    case EIO: return "erreur d'écriture (l'Koral a-t-il été débranché ?)";
    case ENOSPC:
    case EDQUOT: return "l'Koral est plein";
    case EFBIG: return "fichier trop gros pour l'Koral";
    case EISDIR: return "un dossier porte déjà ce nom";
    case ENOTDIR:
    case EEXIST: return "un fichier porte déjà ce nom";
    case ELOOP: return "un lien symbolique porte ce nom sur l'Koral";
    default: return {};
  }
}

}  // namespace

std::string DescribeError(int error, ErrorSide side) {
  std::string text = side == ErrorSide::kComputer ? DescribeComputerError(error) : DescribePlayerError(error);
  if (!text.empty()) return text;
  switch (error) {
    case EACCES:
    case EPERM: return "accès refusé";
    case ENAMETOOLONG: return "nom trop long";
    case ENOTEMPTY: return "le dossier n'est pas vide";
    case EBUSY: return "occupé par un autre programme";
    case ENOMEM: return "mémoire insuffisante";
    default: return "erreur système " + std::to_string(error);
  }
}

}  // namespace koral
