// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/settings/RadioFrequency.h"
#include "core/settings/RadioStations.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

const RadioCity* FindCity(const std::vector<RadioCity>& cities, const std::string& name) {
  for (const RadioCity& city : cities)
    if (city.name == name) return &city;
  return nullptr;
}

std::vector<std::string> Names(const RadioCity& city) {
  std::vector<std::string> names;
  for (const RadioStation& station : city.stations) names.push_back(station.name);
  return names;
}

TEST(RadioStations, GathersACityFromEveryOccurrenceInFileOrder) {
  const auto cities = ParseRadioStations(
      "\\Paris\r\n87.8 France Inter\r\n-1\r\n\\Lyon\r\n88.4 France Info\r\n-1\r\n"
      "\\Paris\r\n\r\n   105.1\tFIP\r\n-1\r\n");
  ASSERT_EQ(cities.size(), 2u);
  const RadioCity* paris = FindCity(cities, "Paris");
  ASSERT_NE(paris, nullptr);
  EXPECT_EQ(Names(*paris), (std::vector<std::string>{"France Inter", "FIP"}));
  EXPECT_DOUBLE_EQ(paris->stations[1].megahertz, 105.1);
}

TEST(RadioStations, OneSeparatorOnlyAndNamesKeptWhole) {
  const std::string longCity = "Saint-Rémy-de-Provence et ses environs immédiats";
  const std::string longName = "Radio associative des Alpilles et du pays d'Arles en direct";
  const auto cities = ParseRadioStations("\\" + longCity + "\n87.75  Deux blancs\n+90.1 " + longName + "\n-1\n");
  ASSERT_EQ(cities.size(), 1u);
  EXPECT_EQ(cities[0].name, longCity);
  EXPECT_EQ(Names(cities[0]), (std::vector<std::string>{" Deux blancs", longName}));
  // Two decimals show as "%.1f".
  EXPECT_EQ(FormatMegahertz(cities[0].stations[0].megahertz), "87.8");
}

TEST(RadioStations, ACityWithoutTheEndMarkKeepsTheStationsReadSoFar) {
  auto cities = ParseRadioStations("\\Nice\n88.0 Agora\n93.5 Nostalgie\n");
  ASSERT_EQ(cities.size(), 1u);
  EXPECT_EQ(cities[0].stations.size(), 2u);
  // Text where a frequency belongs ends the city; later lines are not its stations.
  cities = ParseRadioStations("\\Nice\n88.0 Agora\nnote libre\n93.5 Nostalgie\n\\Metz\n-1\n");
  ASSERT_EQ(cities.size(), 2u);
  EXPECT_EQ(Names(cities[0]), (std::vector<std::string>{"Agora"}));
  EXPECT_TRUE(cities[1].stations.empty());
}

TEST(RadioStations, ReadsWindows1252AndUtf8Files) {
  koral::test::TempDir dir;
  koral::test::WriteFile(dir / "latin.ini", "\\N\xEEmes\n96.4 Ch\xE9rie FM\n-1\n");
  const auto latin = ReadRadioStations(dir / "latin.ini");
  ASSERT_TRUE(latin);
  EXPECT_EQ((*latin)[0].name, "Nîmes");
  EXPECT_EQ((*latin)[0].stations[0].name, "Chérie FM");
  koral::test::WriteFile(dir / "utf8.ini", "\\Nîmes\n96.4 Chérie FM\n-1\n");
  EXPECT_EQ((*ReadRadioStations(dir / "utf8.ini"))[0].stations[0].name, "Chérie FM");
  EXPECT_FALSE(ReadRadioStations(dir / "missing.ini"));
}

// Each city named twice, as a file of `cities` cities.
std::string TwiceNamedCities(int cities) {
  std::string text;
  for (const char* station : {"\n90.0 R\n-1\n", "\n91.0 S\n-1\n"})
    for (int city = 0; city < cities; ++city) text += "\\Ville " + std::to_string(city) + station;
  return text;
}

// The shortest of two readings: the other tests running beside it only
// ever make a reading longer.
std::chrono::steady_clock::duration ShortestReading(const std::string& text) {
  std::chrono::steady_clock::duration shortest = std::chrono::hours(1);
  for (int run = 0; run < 2; ++run) {
    const auto start = std::chrono::steady_clock::now();
    static_cast<void>(ParseRadioStations(text));
    shortest = std::min(shortest, std::chrono::steady_clock::now() - start);
  }
  return shortest;
}

TEST(RadioStations, ReadingTakesTimeInProportionToTheNumberOfCities) {
  // A search of the cities per city line took seconds here; one pass grows
  // with the file. Four times the cities: about four times the time, where
  // the search took sixteen. A ratio holds on any machine, sanitizers too.
  constexpr int kCities = 40000;
  const std::string text = TwiceNamedCities(kCities);
  const auto cities = ParseRadioStations(text);
  ASSERT_EQ(cities.size(), size_t{kCities});
  EXPECT_EQ(cities[kCities - 1].name, "Ville " + std::to_string(kCities - 1));
  EXPECT_EQ(Names(cities[kCities - 1]), (std::vector<std::string>{"R", "S"}));

  const auto quarter = ShortestReading(TwiceNamedCities(kCities / 4));
  const auto whole = ShortestReading(text);
  EXPECT_LT(whole, quarter * 9) << std::chrono::duration<double>(whole).count() << " s against "
                                << std::chrono::duration<double>(quarter).count() << " s";
}

}  // namespace
}  // namespace koral
