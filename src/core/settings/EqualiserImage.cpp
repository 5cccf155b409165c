// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/EqualiserImage.h"

#include "core/config/FirmwareLayout.h"

namespace koral {

std::vector<std::string> EqualiserLayout::MissingKeys() const {
  std::vector<std::string> keys;
  if (!offsetEq) keys.emplace_back("offseteq");
  if (!offsetSelEq) keys.emplace_back("offsetseleq");
  return keys;
}

std::optional<int> ReadEqualiserOffset(const std::filesystem::path& configIni, std::string_view firmwareVersion) {
  return ReadLayoutOffset(configIni, firmwareVersion, "offseteq", kEqualiserBytes);
}

EqualiserLayout ReadEqualiserLayout(const std::filesystem::path& configIni, const std::string& firmwareVersion) {
  EqualiserLayout layout;
  layout.firmwareVersion = firmwareVersion;
  layout.offsetEq = ReadEqualiserOffset(configIni, firmwareVersion);
  layout.offsetSelEq = ReadLayoutOffset(configIni, firmwareVersion, "offsetseleq", 1);
  return layout;
}

std::string MissingEqualiserKeysMessage(const EqualiserLayout& layout) {
  std::string keys;
  for (const std::string& key : layout.MissingKeys()) keys += (keys.empty() ? "" : ", ") + key;
  return "Config.ini ne donne pas la position de l'equaliser pour la version de firmware \"" + layout.firmwareVersion +
         "\" (clés absentes ou invalides : " + keys + ").\nLes réglages de l'equaliser ne sont ni lus ni enregistrés.";
}

EqualiserPass::EqualiserPass(const std::filesystem::path& image, const EqualiserLayout& layout)
    : m_offsetEq(layout.offsetEq.value()), m_offsetSelEq(layout.offsetSelEq.value()) {
  m_file.Open(image);
}

bool EqualiserPass::ReadGains(GainTable& gains) {
  for (int preset = 0; preset < kGainPresetCount; ++preset)
    for (int band = 0; band < kBandCount; ++band) {
      CSettingsFile::Slots slots{};
      if (m_file.ReadBytes(slots, 1, m_offsetEq + BandFieldDisplacement(preset, band)) != CSettingsFile::kOk)
        return false;
      gains[static_cast<size_t>(preset)][static_cast<size_t>(band)] = DecodeBandByte(slots[0]);
    }
  return true;
}

bool EqualiserPass::ReadSelectedPreset(int& preset) {
  CSettingsFile::Slots slots{};
  if (m_file.ReadBytes(slots, 1, m_offsetSelEq) != CSettingsFile::kOk) return false;
  preset = slots[0];
  return true;
}

bool EqualiserPass::WriteSelectedPreset(int preset) {
  return m_file.WriteBytes({preset, 0, 0}, 1, m_offsetSelEq) == CSettingsFile::kOk;
}

bool EqualiserPass::WritePreset(int preset, const PresetGains& gains) {
  for (int band = 0; band < kBandCount; ++band) {
    const int offset = m_offsetEq + BandFieldDisplacement(preset, band);
    if (m_file.WriteBytes(EncodeBandField(gains[static_cast<size_t>(band)]), 3, offset) != CSettingsFile::kOk)
      return false;
  }
  return true;
}

bool EqualiserPass::WriteGains(const GainTable& gains) {
  for (int preset = 0; preset < kGainPresetCount; ++preset)
    if (!WritePreset(preset, gains[static_cast<size_t>(preset)])) return false;
  return true;
}

ImagePassResult EqualiserPass::Finish(bool transferred) {
  if (!IsOpen()) return ImagePassResult::kImageNotOpened;
  const bool closed = Close();
  if (transferred && closed) return ImagePassResult::kOk;
  if (BackupFailed()) return ImagePassResult::kBackupFailed;
  if (!transferred && ReadOnly()) return ImagePassResult::kReadOnly;
  return ImagePassResult::kTransferFailed;
}

}  // namespace koral
