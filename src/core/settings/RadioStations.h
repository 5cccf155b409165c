// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace koral {

struct RadioStation {
  std::string name;
  double megahertz = 0.0;
};

struct RadioCity {
  std::string name;
  std::vector<RadioStation> stations;  // gathered from every occurrence, in file order
};

// Radios.ini: a backslash begins a city line; each following line holds a
// frequency in MHz, one separator, then the station's name to the end of
// the line; -1 ends the city. UTF-8 or Windows-1252. Names are kept whole.
// Cities come in the order of their first occurrence. nullopt when the file
// cannot be read or is over kRadiosIniSizeLimit.
std::optional<std::vector<RadioCity>> ReadRadioStations(const std::filesystem::path& radiosIni);

// Why ReadRadioStations gave nothing, in French.
std::string RadioStationsUnreadableText(const std::filesystem::path& radiosIni);
std::vector<RadioCity> ParseRadioStations(const std::string& text);

}  // namespace koral
