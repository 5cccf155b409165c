// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/settings/SettingsFile.h"

namespace koral {

// An equaliser gain in the settings image: 3 bytes of little-endian two's
// complement, read back from its first byte only.
inline constexpr int kPresetCount = 12;      // 0..9 factory, 10 Perso, 11 Auto
inline constexpr int kGainPresetCount = 11;  // Auto carries no gains
inline constexpr int kBandCount = 5;
inline constexpr int kEqualiserBytes = kGainPresetCount * kBandCount * 3;  // 165

// The low byte, then FF FF for a negative gain or 00 00 otherwise.
CSettingsFile::Slots EncodeBandField(int gain);
// 0..20 is the gain itself; 21..255 is the byte minus 256.
int DecodeBandByte(int firstByte);

// Offset of the field of preset p and band b from offseteq.
constexpr int BandFieldDisplacement(int preset, int band) { return 15 * preset + 3 * band; }

}  // namespace koral
