// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/firmware/ProfileTransfer.h"

#include "core/config/PrivateProfile.h"
#include "core/files/Paths.h"
#include "core/platform/AtomicFile.h"
#include "core/settings/BandField.h"
#include "core/settings/EqualiserImage.h"
#include "core/settings/EqualiserPresets.h"
#include "core/settings/RadioMemories.h"
#include "core/settings/SettingsFile.h"

namespace koral {
namespace {

// Every frequency of the FM band has 1 as the third byte of its record; an
// empty memory is saved as "0 0" and must come back empty, not as 65.5 MHz.
CSettingsFile::Slots RadioRecordOf(const ProfileRadio& radio) {
  const bool empty = radio[0] == 0 && radio[1] == 0;
  return {radio[0], radio[1], empty ? 0 : 1};
}

int32_t PersoFieldOffset(int equaliserOffset, int band) {
  return equaliserOffset + BandFieldDisplacement(kPersoPreset, band);
}

int32_t RadioRecordOffset(int radioOffset, int memory) { return radioOffset + RadioRecordDisplacement(memory); }

ImagePassResult WriteStatus(int status) {
  if (status == CSettingsFile::kOk) return ImagePassResult::kOk;
  if (status == CSettingsFile::kReadOnly) return ImagePassResult::kReadOnly;
  return status == CSettingsFile::kBackupFailed ? ImagePassResult::kBackupFailed : ImagePassResult::kTransferFailed;
}

void AddLayoutIssues(const ProfileLayout& layout, std::vector<ProfileIssue>& issues) {
  if (!layout.radioOffset) issues.push_back({ProfileIssue::Kind::kRadioKeyMissing, "offsetradio"});
  else if (!layout.radioCount) issues.push_back({ProfileIssue::Kind::kRadioKeyMissing, "nbradios"});
  if (!layout.equaliserOffset) issues.push_back({ProfileIssue::Kind::kEqualiserKeyMissing, "offseteq"});
}

bool OpenImage(CSettingsFile& image, const std::optional<std::string>& playerRoot) {
  if (!playerRoot) return false;  // never the working directory's Settings.dat
  image.Open(SettingsImagePath(*playerRoot));
  return image.IsOpen();
}

ImagePassResult ReadRadios(CSettingsFile& image, const ProfileLayout& layout, Profile& profile) {
  if (!layout.radioOffset || !layout.radioCount) return ImagePassResult::kOk;
  for (int i = 0; i < *layout.radioCount; ++i) {
    CSettingsFile::Slots slots{};  // bytes past the end of the image read as 0
    if (image.ReadBytes(slots, 3, RadioRecordOffset(*layout.radioOffset, i)) != CSettingsFile::kOk)
      return ImagePassResult::kTransferFailed;
    profile.radios[static_cast<size_t>(i)] =
        ProfileRadio{static_cast<uint8_t>(slots[0]), static_cast<uint8_t>(slots[1])};
  }
  return ImagePassResult::kOk;
}

ImagePassResult ReadPerso(CSettingsFile& image, const ProfileLayout& layout, Profile& profile) {
  if (!layout.equaliserOffset) return ImagePassResult::kOk;
  ProfilePerso perso{};
  for (int band = 0; band < kBandCount; ++band) {
    CSettingsFile::Slots slots{};
    if (image.ReadBytes(slots, 3, PersoFieldOffset(*layout.equaliserOffset, band)) != CSettingsFile::kOk)
      return ImagePassResult::kTransferFailed;
    for (size_t i = 0; i < 3; ++i) perso[static_cast<size_t>(band) * 3 + i] = static_cast<uint8_t>(slots[i]);
  }
  profile.perso = perso;
  return ImagePassResult::kOk;
}

ImagePassResult WriteRadios(CSettingsFile& image, const ProfileLayout& layout, const Profile& profile,
                            ProfileOperationResult& result) {
  if (!layout.radioOffset || !layout.radioCount) return ImagePassResult::kOk;
  for (int i = 0; i < *layout.radioCount; ++i) {
    const auto& radio = profile.radios[static_cast<size_t>(i)];
    if (!radio) continue;
    const int32_t offset = RadioRecordOffset(*layout.radioOffset, i);
    const auto status = WriteStatus(image.WriteBytes(RadioRecordOf(*radio), 3, offset));
    if (status != ImagePassResult::kOk) return status;
    ++result.radiosLoaded;
  }
  return ImagePassResult::kOk;
}

ImagePassResult WritePerso(CSettingsFile& image, const ProfileLayout& layout, const Profile& profile,
                           ProfileOperationResult& result) {
  if (!layout.equaliserOffset || !profile.perso) return ImagePassResult::kOk;
  for (int band = 0; band < kBandCount; ++band) {
    const auto* field = profile.perso->data() + band * 3;
    const CSettingsFile::Slots slots{field[0], field[1], field[2]};
    const auto status = WriteStatus(image.WriteBytes(slots, 3, PersoFieldOffset(*layout.equaliserOffset, band)));
    if (status != ImagePassResult::kOk) return status;
  }
  result.persoLoaded = true;
  return ImagePassResult::kOk;
}

ImagePassResult ReadProfileFromImage(const std::optional<std::string>& playerRoot, const ProfileLayout& layout,
                                     Profile& profile) {
  CSettingsFile image;
  if (!OpenImage(image, playerRoot)) return ImagePassResult::kImageNotOpened;
  const ImagePassResult status = ReadRadios(image, layout, profile);
  return status != ImagePassResult::kOk ? status : ReadPerso(image, layout, profile);
}

ImagePassResult WriteProfileToImage(const std::optional<std::string>& playerRoot, const ProfileLayout& layout,
                                    const Profile& profile, ProfileOperationResult& result) {
  CSettingsFile image;
  if (!OpenImage(image, playerRoot)) return ImagePassResult::kImageNotOpened;
  ImagePassResult status = WriteRadios(image, layout, profile, result);
  if (status == ImagePassResult::kOk) status = WritePerso(image, layout, profile, result);
  // The bytes still buffered reach the player only here.
  if (!image.Close() && status == ImagePassResult::kOk) status = ImagePassResult::kTransferFailed;
  return status;
}

FileWriteStatus RememberProfileFolder(const std::filesystem::path& configIni,
                                      const std::filesystem::path& profileFile) {
  return WritePrivateProfileString("repertoires", "profil", ProfileFolderOf(profileFile.string()), configIni);
}

}  // namespace

ProfileLayout ReadProfileLayout(const std::filesystem::path& configIni, std::string_view version) {
  return {ReadRadioCount(configIni, version), ReadRadioOffset(configIni, version),
          ReadEqualiserOffset(configIni, version)};
}

std::string ProfileFolderOf(std::string_view profilePath) {
  if (profilePath.find('/') == std::string_view::npos) return {};  // a bare name names no folder
  return ParentFolder(profilePath);
}

ProfileOperationResult SaveProfile(const std::filesystem::path& configIni, std::string_view version,
                                   const std::optional<std::string>& playerRoot,
                                   const std::filesystem::path& profileFile) {
  ProfileOperationResult result;
  result.folderRemembered = RememberProfileFolder(configIni, profileFile);
  const ProfileLayout layout = ReadProfileLayout(configIni, version);
  AddLayoutIssues(layout, result.issues);
  Profile profile;
  result.pass = ReadProfileFromImage(playerRoot, layout, profile);
  if (result.pass != ImagePassResult::kOk) return result;
  result.profileWritten = WriteFileAtomically(profileFile, FormatProfile(profile));
  return result;
}

ProfileOperationResult LoadProfile(const std::filesystem::path& configIni, std::string_view version,
                                   const std::optional<std::string>& playerRoot,
                                   const std::filesystem::path& profileFile) {
  const FileWriteStatus folderRemembered = RememberProfileFolder(configIni, profileFile);
  ProfileReading reading = ReadProfile(profileFile);
  const bool nothingToLoad = NothingToLoad(reading);
  ProfileOperationResult result;
  result.folderRemembered = folderRemembered;
  result.issues = std::move(reading.issues);
  result.profileRefused = nothingToLoad;
  if (nothingToLoad) return result;
  const ProfileLayout layout = ReadProfileLayout(configIni, version);
  AddLayoutIssues(layout, result.issues);
  result.pass = WriteProfileToImage(playerRoot, layout, reading.profile, result);
  return result;
}

std::string DescribeLoadedProfile(const ProfileOperationResult& result) {
  std::string radios;
  if (result.radiosLoaded > 0)
    radios = std::to_string(result.radiosLoaded) + (result.radiosLoaded == 1 ? " mémoire radio" : " mémoires radio");
  const std::string perso = result.persoLoaded ? "la courbe de l'égaliseur \"Perso\"" : "";
  if (radios.empty() && perso.empty()) return "Le profil ne contenait rien à charger : l'Koral n'a pas été modifié.";
  const std::string sep = radios.empty() || perso.empty() ? "" : " et ";
  return "Profil chargé dans l'Koral : " + radios + sep + perso + ".";
}

}  // namespace koral
