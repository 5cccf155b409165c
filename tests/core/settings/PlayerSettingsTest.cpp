// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/PlayerSettings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "support/FileSizeLimit.h"
#include "support/TestEnvironment.h"

namespace koral {
namespace {

using enum PlayerSetting;
using test::TempDir;

class PlayerSettingsTest : public ::testing::Test {
 protected:
  PlayerSettingsLayout Layout(std::initializer_list<std::pair<PlayerSetting, int>> offsets,
                              std::string version = "119.0") {
    PlayerSettingsLayout layout;
    layout.version = std::move(version);
    for (const auto& [setting, offset] : offsets) layout.offsets[Index(setting)] = offset;
    return layout;
  }
  void SetImage(const std::string& bytes) { test::WriteFile(m_image, bytes); }
  std::string Image() const { return test::ReadFile(m_image); }

  test::TestEnvironment m_env;  // keeps the image backups in a sandbox
  TempDir m_dir;
  std::filesystem::path m_image = m_dir / "Settings.dat";
};

TEST_F(PlayerSettingsTest, OnlyTheExactVersionGetsItsOwnLabels) {
  EXPECT_TRUE(IsLayout119("119.0"));
  for (const char* other : {"119", "119.00", "119.0 ", "118.2", ""}) EXPECT_FALSE(IsLayout119(other)) << other;
  EXPECT_EQ(LabelOf(kPower, true, 0), "1 minute");
  EXPECT_EQ(LabelOf(kPower, false, 0), "toujours allumé");
  EXPECT_EQ(LabelOf(kVitesseDefil, true, 5), std::nullopt);  // hidden
  EXPECT_EQ(LabelOf(kSrsWowFocus, false, 2), std::nullopt);
  EXPECT_EQ(LabelOf(kSrsWowModeActif, true, 9), "WOW");
  EXPECT_EQ(LabelOf(kSrsWowModeActif, false, 9), "désactivé");
  EXPECT_EQ(LabelOf(kEclairage, false, 5), std::nullopt);
  for (PlayerSetting setting : {kRepeat, kUsb, kPower, kVitesseDefil, kSrsWowFocus, kAb, kSrsWowModeActif})
    EXPECT_EQ(Choices(setting, true).size(), Choices(setting, false).size());
}

TEST_F(PlayerSettingsTest, ReadDecodesEachKindAndSkipsMissingKeys) {
  std::string image(40, '\0');
  image[1] = 55;                      // contrast
  image[2] = static_cast<char>(255);  // contrast beyond 10
  image[5 + 2] = 127;                 // TruBass from its third byte
  image[10] = 9;                      // mode
  image[11] = 5;                      // repeat: kept as read
  SetImage(image);
  PlayerSettingValues values{};
  const auto layout =
      Layout({{kContrast, 1}, {kAb, 2}, {kSrsWowTruBass, 5}, {kSrsWowModeActif, 10}, {kRepeat, 11}, {kUsb, 200}});
  ASSERT_EQ(ReadPlayerSettings(m_image, layout, values), ImagePassResult::kOk);
  EXPECT_EQ(values[Index(kContrast)], 5);
  EXPECT_EQ(values[Index(kAb)], 255);
  EXPECT_EQ(values[Index(kSrsWowTruBass)], 10);
  EXPECT_EQ(values[Index(kSrsWowModeActif)], 9);  // shown as the last entry
  EXPECT_EQ(values[Index(kRepeat)], 5);
  EXPECT_EQ(values[Index(kUsb)], 0);  // past the end: 0, not the previous setting's byte
  EXPECT_EQ(values[Index(kPower)], std::nullopt);

  auto contrastBeyond = Layout({{kContrast, 2}});
  ASSERT_EQ(ReadPlayerSettings(m_image, contrastBeyond, values), ImagePassResult::kOk);
  EXPECT_EQ(values[Index(kContrast)], 10);
  EXPECT_EQ(ReadPlayerSettings(m_dir / "absent.dat", layout, values), ImagePassResult::kImageNotOpened);
}

TEST_F(PlayerSettingsTest, WriteEncodesOnlyMarkedWritableSettings) {
  SetImage(std::string(16, '\x11'));
  PlayerSettingValues values{};
  values[Index(kContrast)] = 6;
  values[Index(kSrsWowSrs)] = 10;
  values[Index(kRepeat)] = 5;         // hidden with 119.0: not written
  values[Index(kRecordQuality)] = 2;  // not marked
  values[Index(kPower)] = 4;          // no offset
  PlayerSettingMarks marks{};
  for (PlayerSetting marked : {kContrast, kSrsWowSrs, kRepeat, kPower}) marks[Index(marked)] = true;
  const auto layout = Layout({{kContrast, 1}, {kSrsWowSrs, 4}, {kRepeat, 8}, {kRecordQuality, 9}});
  ASSERT_EQ(WritePlayerSettings(m_image, layout, values, marks), ImagePassResult::kOk);
  std::string expected(16, '\x11');
  expected[1] = 60;
  expected.replace(4, 3, "\xFE\xFF\x7F");
  EXPECT_EQ(Image(), expected);
  EXPECT_EQ(WritePlayerSettings(m_dir / "absent.dat", layout, values, marks), ImagePassResult::kImageNotOpened);
  EXPECT_FALSE(std::filesystem::exists(m_dir / "absent.dat"));
}

TEST_F(PlayerSettingsTest, BytesLostWhenTheImageClosesAreAFailedWrite) {
  SetImage(std::string(16, '\x11'));
  PlayerSettingValues values{};
  values[Index(kAb)] = 1;
  PlayerSettingMarks marks{};
  marks[Index(kAb)] = true;
  const test::FileSizeLimit limit(64);
  EXPECT_EQ(WritePlayerSettings(m_image, Layout({{kAb, 1000}}), values, marks), ImagePassResult::kTransferFailed);
  EXPECT_EQ(WritePlayerSettings(m_image, Layout({{kAb, 2}}), values, marks), ImagePassResult::kOk);
}

TEST_F(PlayerSettingsTest, LayoutLeavesOutMissingAndUnreachableOffsets) {
  const auto ini = m_dir / "Config.ini";
  test::WriteFile(ini,
                  "[119.0]\noffsetrepeat=16\noffsetcontrast=-3\noffsetusb=\n"
                  "offsetsrswowtrubass=99999999999\noffsetsrswowsrs=2147483645\noffsetab=2147483647\n");
  const auto layout = ReadPlayerSettingsLayout(ini, "119.0");
  EXPECT_EQ(layout.offsets[Index(kRepeat)], 16);
  EXPECT_EQ(layout.offsets[Index(kContrast)], std::nullopt);
  EXPECT_EQ(layout.offsets[Index(kUsb)], std::nullopt);  // present but empty
  EXPECT_EQ(layout.offsets[Index(kPower)], std::nullopt);
  // A level is read from its third byte: that byte must lie within reach.
  EXPECT_EQ(layout.offsets[Index(kSrsWowTruBass)], std::nullopt);
  EXPECT_EQ(layout.offsets[Index(kSrsWowSrs)], std::numeric_limits<int32_t>::max() - 2);
  EXPECT_EQ(layout.offsets[Index(kAb)], std::numeric_limits<int32_t>::max());
}

TEST_F(PlayerSettingsTest, ValuesFitTheirTables) {
  EXPECT_TRUE(IsWritableValue(kContrast, true, 10));
  EXPECT_FALSE(IsWritableValue(kSrsWowTruBass, false, 11));
  EXPECT_FALSE(IsWritableValue(kSrsWowSrs, false, -1));
  EXPECT_TRUE(IsWritableValue(kSrsWowModeActif, true, 3));
  EXPECT_FALSE(IsWritableValue(kSrsWowModeActif, true, 4));
  EXPECT_TRUE(IsWritableValue(kSrsWowFocus, true, 2));
  EXPECT_FALSE(IsWritableValue(kSrsWowFocus, false, 2));
  EXPECT_EQ(SoundLevelBytes(0), (std::array<int, 3>{6, 0, 0}));
  EXPECT_EQ(SoundLevelBytes(5), (std::array<int, 3>{2, 0, 64}));
  for (int level = 0; level <= kMaxLevel; ++level) EXPECT_EQ(SoundLevelBytes(level)[2] / 12, level);
  EXPECT_EQ(FindPlayerSetting("srswowmodeactif"), kSrsWowModeActif);
  EXPECT_EQ(FindPlayerSetting("offsetab"), std::nullopt);
}

}  // namespace
}  // namespace koral
