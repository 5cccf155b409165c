// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/RadioMemories.h"

#include <algorithm>

#include "core/config/FirmwareLayout.h"
#include "core/files/Paths.h"
#include "core/settings/SettingsFile.h"

namespace koral {

std::optional<int> ReadRadioOffset(const std::filesystem::path& configIni, std::string_view version) {
  return ReadLayoutOffset(configIni, version, "offsetradio", RadioRecordDisplacement(kMaxRadios));
}

std::optional<int> ReadRadioCount(const std::filesystem::path& configIni, std::string_view version) {
  const auto count = ReadLayoutValue(configIni, version, "nbradios");
  if (!count) return std::nullopt;
  return std::clamp(*count, 0, kMaxRadios);
}

std::optional<RadioLayout> ReadRadioLayout(const std::filesystem::path& configIni, std::string_view version) {
  const auto offset = ReadRadioOffset(configIni, version);
  const auto count = ReadRadioCount(configIni, version);
  if (!offset || !count) return std::nullopt;
  return RadioLayout{*offset, *count};
}

ImagePassResult ReadRadioMemories(const std::filesystem::path& image, const RadioLayout& layout,
                                  RadioMemories& memories) {
  if (image.empty()) return ImagePassResult::kImageNotOpened;
  CSettingsFile file;
  file.Open(image);
  if (!file.IsOpen()) return ImagePassResult::kImageNotOpened;
  for (int memory = 0; memory < layout.count; ++memory) {
    // Cleared for every record, so a record past the end does not repeat the one before.
    CSettingsFile::Slots bytes{0, 0, 0};
    if (file.ReadBytes(bytes, 3, layout.offset + RadioRecordDisplacement(memory)) != CSettingsFile::kOk)
      return ImagePassResult::kTransferFailed;
    memories[static_cast<size_t>(memory)] = DecodeRadioRecord(bytes) * 0.001;
  }
  file.Close();
  return ImagePassResult::kOk;
}

ImagePassResult WriteRadioMemories(const std::filesystem::path& image, const RadioLayout& layout,
                                   const RadioMemories& memories) {
  if (image.empty()) return ImagePassResult::kImageNotOpened;
  CSettingsFile file;
  file.Open(image);
  if (!file.IsOpen()) return ImagePassResult::kImageNotOpened;
  bool failed = false;
  for (int memory = 0; memory < layout.count; ++memory) {
    const auto& megahertz = memories[static_cast<size_t>(memory)];
    if (!megahertz) continue;
    const int status =
        file.WriteBytes(EncodeRadioRecordMHz(*megahertz), 3, layout.offset + RadioRecordDisplacement(memory));
    if (status == CSettingsFile::kBackupFailed) return ImagePassResult::kBackupFailed;
    if (status == CSettingsFile::kReadOnly) return ImagePassResult::kReadOnly;
    failed = failed || status != CSettingsFile::kOk;
  }
  // The bytes still buffered reach the player only here.
  if (!file.Close()) failed = true;
  return failed ? ImagePassResult::kTransferFailed : ImagePassResult::kOk;
}

std::filesystem::path RadioImagePath(const std::optional<std::string>& playerRoot) {
  if (!playerRoot) return {};
  return SettingsImagePath(*playerRoot);
}

}  // namespace koral
