// SPDX-License-Identifier: GPL-3.0-or-later
// koral_audio_fixture: the test fixtures of AudioFixtures for the Python
// end-to-end tests and the benchmark.
//   koral_audio_fixture make FORMAT SECONDS OUT [--title T] [--artist A] [--album B]
//       [--album-artist C] [--track N] [--disc N] [--year Y] [--genre G] [--mono] [--rate HZ]
//   koral_audio_fixture damaged OUT
//   koral_audio_fixture facts FILE     (one JSON object on stdout)
#include <cstdlib>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/AudioFixtures.h"

namespace {

using koral::test::ToneRecipe;

constexpr const char* kUsage =
    "usage: koral_audio_fixture make FORMAT SECONDS OUT [--title T] [--artist A] [--album B]\n"
    "         [--album-artist C] [--track N] [--disc N] [--year Y] [--genre G] [--mono] [--rate HZ]\n"
    "       koral_audio_fixture damaged OUT\n"
    "       koral_audio_fixture facts FILE\n"
    "FORMAT: flac, ogg, opus, m4a, mp3, wav\n";

const std::map<std::string, std::string> kTagOptions = {
    {"--title", "title"}, {"--artist", "artist"}, {"--album", "album"}, {"--album-artist", "album_artist"},
    {"--track", "track"}, {"--disc", "disc"},     {"--year", "date"},   {"--genre", "genre"}};

ToneRecipe ParseMake(const std::vector<std::string>& args) {
  if (args.size() < 4) throw std::invalid_argument("make wants FORMAT SECONDS OUT");
  const auto format = koral::test::FixtureFormatNamed(args[1]);
  if (!format) throw std::invalid_argument("unknown format " + args[1]);
  ToneRecipe tone;
  tone.format = *format;
  tone.seconds = std::stod(args[2]);
  for (std::size_t i = 4; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--mono") {
      tone.channels = 1;
      continue;
    }
    if (i + 1 >= args.size()) throw std::invalid_argument(option + " wants a value");
    const std::string& value = args[++i];
    if (option == "--rate") tone.rate = std::stoi(value);
    else if (kTagOptions.contains(option)) tone.tags[kTagOptions.at(option)] = value;
    else throw std::invalid_argument("unknown option " + option);
  }
  return tone;
}

int Run(const std::vector<std::string>& args) {
  const std::string& command = args.at(0);
  if (command == "make") {
    koral::test::MakeTone(ParseMake(args), args.at(3));
  } else if (command == "damaged" && args.size() == 2) {
    koral::test::MakeDamagedFlac(args[1]);
  } else if (command == "facts" && args.size() == 2) {
    std::cout << koral::test::AudioFactsJson(koral::test::ReadAudioFacts(args[1])) << '\n';
  } else {
    throw std::invalid_argument("unknown command");
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    return Run(args);
  } catch (const std::invalid_argument& error) {
    std::cerr << "koral_audio_fixture: " << error.what() << '\n' << kUsage;
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "koral_audio_fixture: " << error.what() << '\n';
    return 1;
  }
}
