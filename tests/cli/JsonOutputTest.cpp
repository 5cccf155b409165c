// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli/JsonWriter.h"
#include "core/platform/Volumes.h"
#include "support/KoralctlRun.h"
#include "support/TestEnvironment.h"

namespace {

using koral::test::Koralctl;
using koral::test::TestEnvironment;
using Result = koral::test::KoralctlResult;

// What a script reads: exit status 0, nothing on stderr, one line on stdout.
std::string JsonOf(const std::vector<std::string>& arguments) {
  const Result result = Koralctl(arguments);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << result.out;
  return result.out;
}

TEST(JsonOutput, DetectGivesThePlayerRootAndNothingWithoutOne) {
  TestEnvironment env;
  EXPECT_EQ(JsonOf({"detect", "--json"}), "{\"player\":\"" + env.PlayerDir().string() + "\"}\n");
  env.ForgetPlayer();
  const koral::FixedVolumeSource noVolumes({});
  koral::SetVolumeSourceForTesting(&noVolumes);
  const Result none = Koralctl({"detect", "--json"});
  koral::SetVolumeSourceForTesting(nullptr);
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");
}

TEST(JsonOutput, EqShowGivesTheGainsByPresetIndex) {
  TestEnvironment env;
  env.SetSettingsImage();
  ASSERT_EQ(Koralctl({"eq", "set", "Perso", "5", "-3", "-12", "20", "0"}).status, 0);
  ASSERT_EQ(Koralctl({"eq", "select", "Jazz"}).status, 0);
  std::string presets;
  for (int preset = 0; preset < 10; ++preset)
    presets += "{\"preset\":" + std::to_string(preset) + ",\"gains\":[0,0,0,0,0]},";
  EXPECT_EQ(JsonOf({"eq", "show", "--json"}),
            "{\"firmware\":\"119.0\",\"selected_preset\":2,\"bands_hz\":[62,250,1000,4000,16000],\"presets\":[" +
                presets + "{\"preset\":10,\"gains\":[5,-3,-12,20,0]}]}\n");
}

TEST(JsonOutput, RadioShowGivesEachMemoryInMegahertz) {
  TestEnvironment env;
  env.SetSettingsImage();
  ASSERT_EQ(Koralctl({"radio", "set", "A", "88.1"}).status, 0);
  ASSERT_EQ(Koralctl({"radio", "set", "T", "101.35"}).status, 0);
  std::string unset;
  for (char letter = 'B'; letter < 'T'; ++letter) unset += std::string("{\"letter\":\"") + letter + "\",\"mhz\":0},";
  EXPECT_EQ(JsonOf({"radio", "show", "--json"}),
            "{\"memories\":[{\"letter\":\"A\",\"mhz\":88.1}," + unset + "{\"letter\":\"T\",\"mhz\":101.35}]}\n");
}

TEST(JsonOutput, SettingsShowGivesTheNumbersTheTextLabels) {
  TestEnvironment env;
  std::string image(512, '\0');
  image[16] = 2;   // repeat
  image[17] = 70;  // contrast 7
  image[20] = 3;   // back-light
  env.SetSettingsImage(image);
  std::string ini = koral::test::ReadFile(env.ConfigIni());
  ini.erase(ini.find("offsetab=35\n"), 12);  // the first one, of 119.0
  env.SetConfigIni(ini);
  const std::string json = JsonOf({"settings", "show", "--json"});
  EXPECT_EQ(json.rfind("{\"firmware\":\"119.0\",\"settings\":{\"repeat\":2,\"contrast\":7,\"usb\":0,", 0), 0u) << json;
  EXPECT_NE(json.find(",\"eclairage\":3,"), std::string::npos) << json;
  EXPECT_NE(json.find(",\"ab\":null}}"), std::string::npos) << json;
  // Every number is the one the text shows before its label.
  const std::string text = Koralctl({"settings", "show"}).out;
  const std::regex line(R"((\w+) = (\d+))");
  int compared = 0;
  for (auto match = std::sregex_iterator(text.begin(), text.end(), line); match != std::sregex_iterator(); ++match) {
    EXPECT_NE(json.find("\"" + (*match)[1].str() + "\":" + (*match)[2].str()), std::string::npos) << (*match)[0];
    ++compared;
  }
  EXPECT_EQ(compared, 12);
}

TEST(JsonOutput, FirmwareListGivesTheVersionsAndTheCurrentOne) {
  TestEnvironment env;
  EXPECT_EQ(JsonOf({"firmware", "list", "--json"}), "{\"current\":\"119.0\",\"versions\":[\"118.2\",\"119.0\"]}\n");
  EXPECT_EQ(JsonOf({"--firmware=118.2", "firmware", "list", "--json"}),
            "{\"current\":\"118.2\",\"versions\":[\"118.2\",\"119.0\"]}\n");
  // A current version the list does not hold (--firmware refuses one).
  env.SetConfigIni("[firmware]\nversion=9\nversionsdispo=118.2 119.0\n");
  EXPECT_EQ(JsonOf({"firmware", "list", "--json"}), "{\"current\":null,\"versions\":[\"118.2\",\"119.0\"]}\n");
}

TEST(JsonOutput, StringsAreEscapedAndAlwaysValidUtf8) {
  std::ostringstream out;
  {
    koral::cli::JsonWriter json(out);
    json.BeginArray()
        .String(
            "a\"b\\c\nd\te\x01"
            "é\xFF"
            "f")
        .BeginObject()
        .Key("k")
        .Null()
        .EndObject()
        .EndArray();
  }
  EXPECT_EQ(out.str(), "[\"a\\\"b\\\\c\\nd\\te\\u0001é\\ufffdf\",{\"k\":null}]\n");
}

}  // namespace
