// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/demo/DemoPlayer.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/config/FirmwareLayout.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/settings/BandField.h"
#include "core/settings/EqualiserPresets.h"
#include "core/settings/PlayerSettings.h"
#include "core/settings/RadioRecord.h"
#include "core/settings/RadioStations.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

constexpr size_t kImageSize = 512;

class ImageBuilder {
 public:
  ImageBuilder(const fs::path& configIni) : m_config(configIni), m_version(ReadFirmwareVersion(configIni)) {}

  // Puts bytes at the offset of a layout key; a key the layout lacks is left out.
  void Put(const char* key, int displacement, const CSettingsFile::Slots& bytes, int count = 1) {
    const auto offset = ReadLayoutValue(m_config, m_version, key);
    if (!offset || *offset < 0) return;
    const size_t at = static_cast<size_t>(*offset + displacement);
    if (m_image.size() < at + static_cast<size_t>(count)) m_image.resize(at + static_cast<size_t>(count), '\0');
    for (int i = 0; i < count; ++i)
      m_image[at + static_cast<size_t>(i)] = static_cast<char>(bytes[static_cast<size_t>(i)] & 0xFF);
  }
  void PutByte(const char* key, int value) { Put(key, 0, {value, 0, 0}); }
  int RadioCount() const {
    return std::clamp(ReadLayoutValue(m_config, m_version, "nbradios").value_or(0), 0, kMaxRadios);
  }
  const std::string& Bytes() const { return m_image; }

 private:
  fs::path m_config;
  std::string m_version;
  std::string m_image = std::string(kImageSize, '\0');
};

void PutEqualiser(ImageBuilder& image) {
  for (int preset = 0; preset < kGainPresetCount; ++preset)
    for (int band = 0; band < kBandCount; ++band) {
      const int gain = preset < 10 ? kFactoryPresets[static_cast<size_t>(preset)][static_cast<size_t>(band)] : 0;
      image.Put("offseteq", BandFieldDisplacement(preset, band), EncodeBandField(gain), 3);
    }
  image.PutByte("offsetseleq", 0);
}

void PutRadios(ImageBuilder& image, const fs::path& radiosIni) {
  std::vector<RadioStation> paris;
  for (const RadioCity& city : ReadRadioStations(radiosIni).value_or(std::vector<RadioCity>{}))
    if (city.name == "Paris") paris = city.stations;
  const int count = std::min<int>(image.RadioCount(), static_cast<int>(paris.size()));
  for (int memory = 0; memory < count; ++memory)
    image.Put("offsetradio", RadioRecordDisplacement(memory),
              EncodeRadioRecordMHz(paris[static_cast<size_t>(memory)].megahertz), 3);
}

void PutPlayerSettings(ImageBuilder& image) {
  image.PutByte("offsetrepeat", 0);
  image.PutByte("offsetcontrast", 50);
  image.PutByte("offsetusb", 0);
  image.PutByte("offsetpower", 1);
  image.PutByte("offseteclairage", 1);
  image.PutByte("offsetvitessedefil", 1);
  image.PutByte("offsetsrswowfocus", 0);
  const auto level = SoundLevelBytes(5);
  image.Put("offsetsrswowtrubass", 0, {level[0], level[1], level[2]}, 3);
  image.Put("offsetsrswowsrs", 0, {level[0], level[1], level[2]}, 3);
  image.PutByte("offsetsrswowecouteurs", 0);
  image.PutByte("offsetsrswowmodeactif", 0);
  image.PutByte("offsetrecordquality", 0);
  image.PutByte("offsetab", 0);
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void PutMusic(const fs::path& folder) {
  const fs::path album = folder / "Musique" / "Démo";
  fs::create_directories(album);
  const std::vector<std::string> tracks = {"Ouverture.mp3", "Balade.mp3", "Final.mp3"};
  std::string playlist = "#EXTM3U\r\n";
  for (size_t i = 0; i < tracks.size(); ++i) {
    WriteFile(album / tracks[i], std::string(4096 * (i + 1), static_cast<char>('a' + i)));
    playlist += "#EXTINF:" + std::to_string(60 + i) + "," + tracks[i] + "\r\n" + tracks[i] + "\r\n";
  }
  WriteFile(album / "Démo.m3u", playlist);
  fs::create_directories(folder / "Enregistrements");
  WriteFile(folder / "Enregistrements" / "REC001.wav", std::string(2048, '\0'));
}

}  // namespace

void CreateDemoPlayer(const fs::path& folder, const fs::path& configIni, const fs::path& radiosIni) {
  fs::create_directories(folder);
  ImageBuilder image(configIni);
  PutEqualiser(image);
  PutRadios(image, radiosIni);
  PutPlayerSettings(image);
  WriteFile(folder / "Settings.dat", image.Bytes());
  PutMusic(folder);
}

fs::path EnsureDemoPlayer(const fs::path& dataHome, const fs::path& configIni, const fs::path& radiosIni) {
  const fs::path folder = dataHome / "koral-config" / "demo-player";
  std::error_code error;
  if (!fs::exists(folder / "Settings.dat", error)) CreateDemoPlayer(folder, configIni, radiosIni);
  return folder;
}

}  // namespace koral
