// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/PlayerSettings.h"

#include <algorithm>
#include <cstdint>

#include "core/config/FirmwareLayout.h"
#include "core/settings/SettingsFile.h"

namespace koral {
namespace {

using enum PlayerSetting;
using enum PlayerSettingKind;

constexpr std::array<PlayerSettingInfo, kPlayerSettingCount> kInfos = {{
    {kRepeat, "repeat", "Mode répétition", kChoice},
    {kContrast, "contrast", "Réglage du contraste", kContrastLevel},
    {kUsb, "usb", "Paramètres USB", kChoice},
    {kPower, "power", "Arrêt automatique", kChoice},
    {kEclairage, "eclairage", "Rétro-éclairage", kChoice},
    {kVitesseDefil, "vitessedefil", "Vitesse défilement", kChoice},
    {kSrsWowFocus, "srswowfocus", "Focus sur", kChoice},
    {kSrsWowTruBass, "srswowtrubass", "Niveau TruBass", kSoundLevel},
    {kSrsWowSrs, "srswowsrs", "Niveau SRS", kSoundLevel},
    {kSrsWowEcouteurs, "srswowecouteurs", "Type d'écouteurs", kChoice},
    {kSrsWowModeActif, "srswowmodeactif", "Mode actuel", kModeList},
    {kRecordQuality, "recordquality", "Enregistrement", kChoice},
    {kAb, "ab", "Touche A<->B / Rec", kChoice},
}};

// The player reads and writes its settings in orders of its own.
constexpr std::array<PlayerSetting, kPlayerSettingCount> kReadOrder = {
    kRepeat,    kPower,           kContrast,        kUsb,
    kEclairage, kVitesseDefil,    kSrsWowFocus,     kSrsWowTruBass,
    kSrsWowSrs, kSrsWowEcouteurs, kSrsWowModeActif, kRecordQuality,
    kAb};
constexpr std::array<PlayerSetting, kPlayerSettingCount> kWriteOrder = {
    kRepeat,          kEclairage, kVitesseDefil,  kPower, kSrsWowFocus, kSrsWowTruBass, kSrsWowSrs, kSrsWowEcouteurs,
    kSrsWowModeActif, kContrast,  kRecordQuality, kUsb,   kAb};

constexpr std::array<std::array<int, 3>, kMaxLevel + 1> kSoundLevelTable = {{
    {6, 0, 0},
    {2, 204, 12},
    {158, 153, 25},
    {106, 102, 38},
    {54, 51, 51},
    {2, 0, 64},
    {206, 204, 76},
    {154, 153, 89},
    {102, 102, 102},
    {50, 51, 115},
    {254, 255, 127},
}};
constexpr int kContrastStep = 10;
constexpr int kSoundLevelStep = 12;
constexpr int kSoundLevelReadDisplacement = 2;

std::vector<Choice> Visible(std::initializer_list<const char*> labels) {
  std::vector<Choice> choices;
  for (const char* label : labels) choices.push_back({label, false});
  return choices;
}

std::vector<Choice> WithLastHidden(std::vector<Choice> choices) {
  choices.back().hidden = true;
  return choices;
}

struct ChoiceTables {
  std::array<std::vector<Choice>, kPlayerSettingCount> other;
  std::array<std::vector<Choice>, kPlayerSettingCount> v119;
};

void FillSharedTables(ChoiceTables& t) {
  t.other[Index(kEclairage)] = Visible({"3 secondes", "5 secondes", "10 secondes", "20 secondes", "toujours"});
  t.other[Index(kSrsWowEcouteurs)] =
      Visible({"mini-écouteurs", "écouteurs", "casque", "baffles", "enceintes", "grandes-enceintes"});
  t.other[Index(kRecordQuality)] = Visible({"8 kHz", "11 kHz", "16 kHz", "22 kHz", "32 kHz", "44 kHz", "48 kHz"});
  for (PlayerSetting shared : {kEclairage, kSrsWowEcouteurs, kRecordQuality})
    t.v119[Index(shared)] = t.other[Index(shared)];
}

void FillOtherTables(ChoiceTables& t) {
  t.other[Index(kRepeat)] =
      Visible({"normal", "répéter 1x", "répéter tout", "shuffle", "shuffle répété", "aléatoire répété"});
  t.other[Index(kVitesseDefil)] = Visible({"normale", "x 2", "x 3", "x 4", "x 6", "x 8"});
  t.other[Index(kPower)] = Visible({"toujours allumé", "1 minute", "2 minutes", "5 minutes", "10 minutes"});
  t.other[Index(kSrsWowFocus)] = WithLastHidden(Visible({"graves", "aigus", "aigus"}));
  t.other[Index(kSrsWowModeActif)] = Visible({"SRS", "TruBass", "WOW", "désactivé"});
  t.other[Index(kUsb)] = Visible({"Koral + charge", "clé USB + charge"});
  t.other[Index(kAb)] = Visible(
      {"SRS~WOW", "enregistrement", "dossier suivant", "saut de 10 titres", "remonter de 6 secs", "avancer de 6 secs"});
}

void Fill119Tables(ChoiceTables& t) {
  t.v119[Index(kRepeat)] = WithLastHidden(t.other[Index(kRepeat)]);
  t.v119[Index(kVitesseDefil)] = WithLastHidden(Visible({"normale", "x 2", "x 3", "x 4", "x 5", "x 8"}));
  t.v119[Index(kPower)] = Visible({"1 minute", "2 minutes", "5 minutes", "10 minutes", "toujours allumé"});
  t.v119[Index(kSrsWowFocus)] = Visible({"graves", "medium", "aigus"});
  t.v119[Index(kSrsWowModeActif)] = Visible({"désactivé", "SRS", "TruBass", "WOW"});
  t.v119[Index(kUsb)] = Visible({"clé USB + charge", "Koral + charge"});
  t.v119[Index(kAb)] = WithLastHidden(
      Visible({"SRS~WOW", "enregistrement", "remonter de 6 sec", "avancer de 6 sec", "A <-> B", "avancer de 6 secs"}));
}

const ChoiceTables& Tables() {
  static const ChoiceTables tables = [] {
    ChoiceTables t;
    FillSharedTables(t);
    FillOtherTables(t);
    Fill119Tables(t);
    return t;
  }();
  return tables;
}

int Decode(PlayerSetting setting, int byte) {
  switch (InfoOf(setting).kind) {
    case kContrastLevel: return std::min(byte / kContrastStep, kMaxLevel);
    case kSoundLevel: return std::min(byte / kSoundLevelStep, kMaxLevel);
    case kModeList:
    case kChoice: break;
  }
  return byte;
}

CSettingsFile::Slots Encode(PlayerSetting setting, int value, int& count) {
  count = 1;
  switch (InfoOf(setting).kind) {
    case kContrastLevel: return {value * kContrastStep, 0, 0};
    case kSoundLevel: {
      const auto& bytes = kSoundLevelTable[static_cast<size_t>(value)];
      count = 3;
      return {bytes[0], bytes[1], bytes[2]};
    }
    case kChoice:
    case kModeList: break;
  }
  return {value, 0, 0};
}

}  // namespace

const std::array<PlayerSettingInfo, kPlayerSettingCount>& PlayerSettingInfos() { return kInfos; }

const PlayerSettingInfo& InfoOf(PlayerSetting setting) { return kInfos[Index(setting)]; }

std::optional<PlayerSetting> FindPlayerSetting(std::string_view name) {
  for (const PlayerSettingInfo& info : kInfos)
    if (info.name == name) return info.id;
  return std::nullopt;
}

std::string OffsetKey(PlayerSetting setting) { return "offset" + std::string(InfoOf(setting).name); }

bool IsLayout119(std::string_view version) { return version == kFirmware119; }

const std::vector<Choice>& Choices(PlayerSetting setting, bool layout119) {
  return layout119 ? Tables().v119[Index(setting)] : Tables().other[Index(setting)];
}

std::optional<std::string> LabelOf(PlayerSetting setting, bool layout119, int value) {
  const auto& choices = Choices(setting, layout119);
  if (InfoOf(setting).kind == kModeList && value >= 0)
    value = std::min<int>(value, static_cast<int>(choices.size()) - 1);
  if (value < 0 || static_cast<size_t>(value) >= choices.size()) return std::nullopt;
  const Choice& choice = choices[static_cast<size_t>(value)];
  if (choice.hidden) return std::nullopt;
  return choice.label;
}

std::array<int, 3> SoundLevelBytes(int level) { return kSoundLevelTable.at(static_cast<size_t>(level)); }

PlayerSettingsLayout ReadPlayerSettingsLayout(const std::filesystem::path& configIni, std::string_view version) {
  PlayerSettingsLayout layout;
  layout.version = std::string(version);
  for (const PlayerSettingInfo& info : kInfos) {
    const int span = (info.kind == kSoundLevel ? kSoundLevelReadDisplacement : 0) + 1;
    layout.offsets[Index(info.id)] = ReadLayoutOffset(configIni, version, OffsetKey(info.id), span);
  }
  return layout;
}

bool IsWritableValue(PlayerSetting setting, bool layout119, int value) {
  switch (InfoOf(setting).kind) {
    case kContrastLevel:
    case kSoundLevel: return value >= 0 && value <= kMaxLevel;
    case kModeList: return value >= 0 && static_cast<size_t>(value) < Choices(setting, layout119).size();
    case kChoice: break;
  }
  return LabelOf(setting, layout119, value).has_value();
}

ImagePassResult ReadPlayerSettings(const std::filesystem::path& image, const PlayerSettingsLayout& layout,
                                   PlayerSettingValues& values) {
  CSettingsFile file;
  file.Open(image);
  if (!file.IsOpen()) return ImagePassResult::kImageNotOpened;
  for (PlayerSetting setting : kReadOrder) {
    const auto& offset = layout.offsets[Index(setting)];
    if (!offset) continue;
    const int displacement = InfoOf(setting).kind == kSoundLevel ? kSoundLevelReadDisplacement : 0;
    // A fresh slot per read: a byte past the end of the image reads as 0
    // rather than as the previous setting's byte.
    CSettingsFile::Slots slots{};
    if (file.ReadBytes(slots, 1, *offset + displacement) != CSettingsFile::kOk) return ImagePassResult::kTransferFailed;
    values[Index(setting)] = Decode(setting, slots[0] & 0xFF);
  }
  file.Close();
  return ImagePassResult::kOk;
}

ImagePassResult WritePlayerSettings(const std::filesystem::path& image, const PlayerSettingsLayout& layout,
                                    const PlayerSettingValues& values, const PlayerSettingMarks& marks) {
  CSettingsFile file;
  file.Open(image);
  if (!file.IsOpen()) return ImagePassResult::kImageNotOpened;
  for (PlayerSetting setting : kWriteOrder) {
    const size_t i = Index(setting);
    if (!marks[i] || !layout.offsets[i] || !values[i] || !IsWritableValue(setting, layout.Is119(), *values[i]))
      continue;
    int count = 1;
    const CSettingsFile::Slots slots = Encode(setting, *values[i], count);
    const int status = file.WriteBytes(slots, count, *layout.offsets[i]);
    if (status == CSettingsFile::kBackupFailed) return ImagePassResult::kBackupFailed;
    if (status == CSettingsFile::kReadOnly) return ImagePassResult::kReadOnly;
    if (status != CSettingsFile::kOk) return ImagePassResult::kTransferFailed;
  }
  // The bytes may only reach the player when the image is closed.
  return file.Close() ? ImagePassResult::kOk : ImagePassResult::kTransferFailed;
}

}  // namespace koral
