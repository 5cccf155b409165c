// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// How one pass over the player's settings image went.
enum class [[nodiscard]] ImagePassResult{
    kOk,
    kImageNotOpened,  // no player, or Settings.dat cannot be opened
    kTransferFailed,  // a read or write failed, or the bytes written could not reach the image
    kBackupFailed,    // no complete backup of the image could be kept: nothing written
    kReadOnly,        // the image can be read but not written: nothing written
};

// What the pass was doing, for the text of a failed transfer.
enum class ImageTransfer { kRead, kWrite };

// The French text of a failed pass, in lower case after the name of the
// operation that ran it ("fichier de configuration absent.", "lecture
// impossible sur l'Koral."); a refused write has its whole message. Empty
// for kOk.
std::string ImagePassText(ImagePassResult result, ImageTransfer transfer);

}  // namespace koral
