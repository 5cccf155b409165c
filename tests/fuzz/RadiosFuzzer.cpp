// SPDX-License-Identifier: GPL-3.0-or-later
// Radios.ini: cities and stations by name, whatever the file holds.
#include <cmath>
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "core/config/TextEncoding.h"
#include "core/settings/RadioStations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using koral::fuzz::Require;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::set<std::string> names;
  for (const koral::RadioCity& city : koral::ParseRadioStations(text)) {
    Require(names.insert(city.name).second, "each city comes once");
    Require(koral::IsValidUtf8(city.name), "a city name is UTF-8");
    for (const koral::RadioStation& station : city.stations) {
      Require(std::isfinite(station.megahertz) && station.megahertz != -1.0, "a station has a frequency");
      Require(koral::IsValidUtf8(station.name), "a station name is UTF-8");
    }
  }
  return 0;
}
