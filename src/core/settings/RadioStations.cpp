// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/RadioStations.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

#include "core/config/TextEncoding.h"
#include "core/platform/AtomicFile.h"

namespace koral {
namespace {

// The cities in order of first occurrence, found by name in constant time:
// a file of tens of thousands of cities must not take a search per line.
class CityTable {
 public:
  // Valid until the next call, which may add a city.
  RadioCity& Named(const std::string& name) {
    const auto [entry, added] = m_indexByName.try_emplace(name, m_cities.size());
    if (added) m_cities.push_back({name, {}});
    return m_cities[entry->second];
  }
  std::vector<RadioCity> Take() { return std::move(m_cities); }

 private:
  std::vector<RadioCity> m_cities;
  std::unordered_map<std::string, size_t> m_indexByName;
};

enum class StationLine { kStation, kEnd, kSkip };

// One station line: "%f", exactly one separator, the name to the line's end.
StationLine ParseStation(const std::string& line, RadioStation& station) {
  const char* begin = line.c_str();
  while (*begin == ' ' || *begin == '\t') ++begin;
  if (*begin == '\0') return StationLine::kSkip;
  const char* last = line.c_str() + line.size();
  if (*begin == '+' && begin[1] != '-') ++begin;  // "%f" takes a sign, from_chars only '-'
  double value = 0.0;
  // from_chars, not strtod: the reading must not depend on the user's locale.
  const auto [end, error] = std::from_chars(begin, last, value);
  // Text where a frequency belongs ends the city, as -1 does.
  if (error != std::errc() || !std::isfinite(value) || value == -1.0) return StationLine::kEnd;
  const char* name = end;
  if (*name == ' ' || *name == '\t') ++name;
  station = {name, value};
  return StationLine::kStation;
}

}  // namespace

std::vector<RadioCity> ParseRadioStations(const std::string& text) {
  CityTable cities;
  RadioCity* current = nullptr;
  for (const std::string& line : SplitLines(ToUtf8(text))) {
    const size_t backslash = line.find('\\');
    if (backslash != std::string::npos) {
      current = &cities.Named(line.substr(backslash + 1));
      continue;
    }
    if (current == nullptr) continue;
    RadioStation station;
    switch (ParseStation(line, station)) {
      case StationLine::kStation: current->stations.push_back(std::move(station)); break;
      case StationLine::kEnd: current = nullptr; break;
      case StationLine::kSkip: break;
    }
  }
  return cities.Take();
}

std::optional<std::vector<RadioCity>> ReadRadioStations(const std::filesystem::path& radiosIni) {
  const auto bytes = ReadWholeFile(radiosIni, kRadiosIniSizeLimit);
  if (!bytes) return std::nullopt;
  return ParseRadioStations(*bytes);
}

std::string RadioStationsUnreadableText(const std::filesystem::path& radiosIni) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(radiosIni, error);
  if (!error && size > kRadiosIniSizeLimit)
    return "'" + radiosIni.string() + "' est trop gros pour un fichier de fréquences radio (plus de " +
           SizeLimitText(kRadiosIniSizeLimit) + ") : il n'a pas été lu.";
  return "Le fichier des fréquences radio n'a pas été trouvé";
}

}  // namespace koral
