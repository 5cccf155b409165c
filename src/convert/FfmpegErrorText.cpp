// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/FfmpegErrorText.h"

#include <cerrno>

extern "C" {
#include <libavutil/error.h>
}

namespace koral::convert {

std::string FfmpegErrorText(int error) {
  switch (error) {
    case AVERROR_INVALIDDATA: return "données invalides";
    case AVERROR_EOF: return "fichier tronqué";
    case AVERROR(ENOENT): return "fichier introuvable";
    case AVERROR(EACCES):
    case AVERROR(EPERM): return "accès refusé";
    case AVERROR(EISDIR): return "c'est un dossier";
    case AVERROR(EIO): return "erreur de lecture";
    case AVERROR(ENOMEM): return "mémoire insuffisante";
    case AVERROR(EINVAL): return "paramètres refusés";
    case AVERROR(ENOSYS):
    case AVERROR_PATCHWELCOME: return "variante du format non prise en charge";
    case AVERROR_DEMUXER_NOT_FOUND: return "format de fichier inconnu";
    case AVERROR_DECODER_NOT_FOUND: return "aucun décodeur pour ce format audio";
    case AVERROR_ENCODER_NOT_FOUND: return "encodeur MP3 absent";
    case AVERROR_STREAM_NOT_FOUND: return "aucune piste audio";
    case AVERROR_BUG:
    case AVERROR_BUG2: return "erreur interne du décodeur";
    case AVERROR_INPUT_CHANGED: return "format changeant en cours de fichier";
    case AVERROR_EXIT: return "conversion interrompue";
    default: return "erreur du décodeur (code " + std::to_string(error) + ")";
  }
}

}  // namespace koral::convert
