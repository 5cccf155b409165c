// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/ImagePassResult.h"

namespace koral {

// The thirteen settings of the player's own, in the order of their offset
// keys in a version section.
enum class PlayerSetting : int {
  kRepeat,
  kContrast,
  kUsb,
  kPower,
  kEclairage,
  kVitesseDefil,
  kSrsWowFocus,
  kSrsWowTruBass,
  kSrsWowSrs,
  kSrsWowEcouteurs,
  kSrsWowModeActif,
  kRecordQuality,
  kAb,
};
inline constexpr size_t kPlayerSettingCount = 13;

enum class PlayerSettingKind {
  kChoice,         // one byte: the index of a choice of a group
  kModeList,       // one byte: the index of an entry of the mode list
  kContrastLevel,  // one byte: level x 10
  kSoundLevel,     // three bytes of the level table, read back from the third
};

struct PlayerSettingInfo {
  PlayerSetting id;
  std::string_view name;   // the Config.ini key without "offset"
  std::string_view frame;  // the caption of its frame on the page
  PlayerSettingKind kind;
};

// All thirteen, in offset-key order.
const std::array<PlayerSettingInfo, kPlayerSettingCount>& PlayerSettingInfos();
const PlayerSettingInfo& InfoOf(PlayerSetting setting);
std::optional<PlayerSetting> FindPlayerSetting(std::string_view name);
std::string OffsetKey(PlayerSetting setting);

inline constexpr int kMaxLevel = 10;
inline constexpr size_t Index(PlayerSetting setting) { return static_cast<size_t>(setting); }

// Firmware "119.0" (exactly) has labels and value tables of its own.
bool IsLayout119(std::string_view version);

struct Choice {
  std::string label;
  bool hidden = false;
};

// The choices of a group, or the entries of the mode list, by byte value.
// Every layout has the same number of slots; the ones it lacks are hidden.
// The back-light's "aucun" has no byte value: it is not among them.
const std::vector<Choice>& Choices(PlayerSetting setting, bool layout119);

// The label a byte shows, or nullopt when it names no visible choice (for
// the mode list, a byte above the last entry shows the last entry).
std::optional<std::string> LabelOf(PlayerSetting setting, bool layout119, int value);

// The three bytes of a TruBass or SRS level.
std::array<int, 3> SoundLevelBytes(int level);

// Where each setting lies for one firmware version; nullopt for a key the
// version section lacks: such a setting is neither read nor written.
struct PlayerSettingsLayout {
  std::string version;
  std::array<std::optional<int>, kPlayerSettingCount> offsets{};
  bool Is119() const { return IsLayout119(version); }
};
PlayerSettingsLayout ReadPlayerSettingsLayout(const std::filesystem::path& configIni, std::string_view version);

// The value of each setting: the byte of a choice or of the mode list (as
// read, possibly naming no choice; see LabelOf), the level 0-10 of the
// contrast and of the two sound levels. nullopt: not read.
using PlayerSettingValues = std::array<std::optional<int>, kPlayerSettingCount>;
using PlayerSettingMarks = std::array<bool, kPlayerSettingCount>;

// Whether a value can be written for a setting in a layout: a visible choice,
// an entry of the mode list, or a level 0-10.
bool IsWritableValue(PlayerSetting setting, bool layout119, int value);

// One pass over the image: every setting with an offset, in the player's
// read order. Values of settings without an offset stay nullopt.
ImagePassResult ReadPlayerSettings(const std::filesystem::path& image, const PlayerSettingsLayout& layout,
                                   PlayerSettingValues& values);

// One pass over the image: the marked settings that have an offset and a
// writable value, in the player's write order. Stops at the first failed
// transfer; what was written before it stays written. Bytes that cannot be
// flushed when the image is closed count as a failed transfer.
ImagePassResult WritePlayerSettings(const std::filesystem::path& image, const PlayerSettingsLayout& layout,
                                    const PlayerSettingValues& values, const PlayerSettingMarks& marks);

}  // namespace koral
