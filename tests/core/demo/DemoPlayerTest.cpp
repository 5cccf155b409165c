// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/demo/DemoPlayer.h"

#include <gtest/gtest.h>

#include "core/config/FirmwareLayout.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/settings/BandField.h"
#include "core/settings/RadioRecord.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

TEST(DemoPlayer, IsLaidOutForTheDefaultFirmwareAndReused) {
  test::TestEnvironment env;
  const auto folder = EnsureDemoPlayer(env.Context().dataHome, env.ConfigIni(), env.RadiosIni());
  const std::string image = test::ReadFile(folder / "Settings.dat");
  const std::string version = ReadFirmwareVersion(env.ConfigIni());
  const int eq = *ReadLayoutValue(env.ConfigIni(), version, "offseteq");
  const int radio = *ReadLayoutValue(env.ConfigIni(), version, "offsetradio");
  // Rock (preset 1): 12 -2 -4 0 8, as three-byte fields.
  const auto gainAt = [&](int preset, int band) {
    return DecodeBandByte(
        static_cast<unsigned char>(image[static_cast<size_t>(eq + BandFieldDisplacement(preset, band))]));
  };
  EXPECT_EQ(gainAt(1, 0), 12);
  EXPECT_EQ(gainAt(1, 1), -2);
  EXPECT_EQ(static_cast<unsigned char>(image[static_cast<size_t>(eq + BandFieldDisplacement(1, 1) + 1)]), 0xFF);
  EXPECT_EQ(gainAt(10, 4), 0);
  // The first Paris station of Radios.ini, 87.8 MHz.
  const CSettingsFile::Slots record = {static_cast<unsigned char>(image[static_cast<size_t>(radio)]),
                                       static_cast<unsigned char>(image[static_cast<size_t>(radio + 1)]),
                                       static_cast<unsigned char>(image[static_cast<size_t>(radio + 2)])};
  EXPECT_EQ(DecodeRadioRecord(record), 87800u);
  EXPECT_TRUE(std::filesystem::exists(folder / "Musique"));

  test::WriteFile(folder / "Settings.dat", "changed");
  EnsureDemoPlayer(env.Context().dataHome, env.ConfigIni(), env.RadiosIni());
  EXPECT_EQ(test::ReadFile(folder / "Settings.dat"), "changed");
}

}  // namespace
}  // namespace koral
