// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

#include "core/config/FirmwareLayout.h"
#include "core/settings/BandField.h"

namespace koral {

using PresetGains = std::array<int, kBandCount>;

// The gains of the ten factory presets (62 Hz, 250 Hz, 1 kHz, 4 kHz, 16 kHz).
inline constexpr std::array<PresetGains, 10> kFactoryPresets = {{
    {0, 0, 0, 0, 0},
    {12, -2, -4, 0, 8},
    {-4, 8, 8, -2, 0},
    {18, -4, -2, 14, 14},
    {8, 8, 8, -3, 0},
    {12, 12, 2, -7, 12},
    {16, -2, 0, 13, 14},
    {14, 12, 10, -3, 2},
    {-3, 7, 7, 5, 2},
    {0, -3, -1, 7, 0},
}};

inline constexpr int kPersoPreset = 10;
inline constexpr int kAutoPreset = 11;

using PresetNameList = std::array<std::string_view, kPresetCount>;

// The preset names of firmware 119.0, and those of every other version.
inline constexpr PresetNameList kPresetNames119 = {"Normal", "Rock",  "Jazz", "Classique", "Pop",   "Xtrem BASS",
                                                   "Techno", "Dance", "Live", "Reggae",    "Perso", "Auto"};
inline constexpr PresetNameList kPresetNamesOther = {"Normal", "Jazz",  "Pop",  "Rock",   "Classique", "Extra bass",
                                                     "Techno", "Dance", "Live", "Reggae", "Perso",     "Auto"};

// The names the preset list shows for a firmware version (exact, case-sensitive).
inline constexpr const PresetNameList& PresetNames(std::string_view firmwareVersion) {
  return firmwareVersion == kFirmware119 ? kPresetNames119 : kPresetNamesOther;
}

}  // namespace koral
