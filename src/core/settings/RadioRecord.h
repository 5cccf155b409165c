// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "core/settings/SettingsFile.h"

namespace koral {

// A radio memory: the frequency in kHz as an unsigned 24-bit little-endian
// integer in the first 3 bytes of a record; records follow every 6 bytes.
inline constexpr int kMaxRadios = 20;
inline constexpr int kRadioRecordStride = 6;

constexpr int RadioRecordDisplacement(int memory) { return kRadioRecordStride * memory; }

// kHz from the three bytes.
uint32_t DecodeRadioRecord(const CSettingsFile::Slots& bytes);
// The three bytes of a frequency given in MHz, rounded to the nearest kHz;
// frequencies outside 0 to 16777.215 MHz are held at the nearest bound.
CSettingsFile::Slots EncodeRadioRecordMHz(double megahertz);
CSettingsFile::Slots EncodeRadioRecordKHz(uint32_t kilohertz);

}  // namespace koral
