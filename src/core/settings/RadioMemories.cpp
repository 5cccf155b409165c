#include "settings/RadioMemories.h"

#include <algorithm>
#include <limits>

#include "files/Paths.h"
#include "settings/FirmwareLayout.h"
#include "settings/SettingsFile.h"

namespace koral {

std::optional<RadioLayout> ReadRadioLayout(const std::filesystem::path& configIni, std::string_view version) {
  const auto offset = ReadLayoutValue(configIni, version, "offsetradio");
  const auto count = ReadLayoutValue(configIni, version, "nbradios");
  // An offset past the reach of 32-bit positions cannot address the records.
  constexpr int kLargestOffset = std::numeric_limits<int32_t>::max() - RadioRecordDisplacement(kMaxRadios);
  if (!offset || !count || *offset < 0 || *offset > kLargestOffset) return std::nullopt;
  return RadioLayout{*offset, std::clamp(*count, 0, kMaxRadios)};
}

RadioPassStatus ReadRadioMemories(const std::filesystem::path& image, const RadioLayout& layout,
                                  RadioMemories& memories) {
  if (image.empty()) return RadioPassStatus::kImageNotOpened;
  CSettingsFile file;
  file.Open(image);
  if (!file.IsOpen()) return RadioPassStatus::kImageNotOpened;
  for (int memory = 0; memory < layout.count; ++memory) {
    // Cleared for every record, so a record past the end does not repeat the one before.
    CSettingsFile::Slots bytes{0, 0, 0};
    if (file.ReadBytes(bytes, 3, layout.offset + RadioRecordDisplacement(memory)) != CSettingsFile::kOk)
      return RadioPassStatus::kTransferFailed;
    memories[static_cast<size_t>(memory)] = DecodeRadioRecord(bytes) * 0.001;
  }
  file.Close();
  return RadioPassStatus::kOk;
}

RadioPassStatus WriteRadioMemories(const std::filesystem::path& image, const RadioLayout& layout,
                                   const RadioMemories& memories) {
  if (image.empty()) return RadioPassStatus::kImageNotOpened;
  CSettingsFile file;
  file.Open(image);
  if (!file.IsOpen()) return RadioPassStatus::kImageNotOpened;
  bool failed = false;
  for (int memory = 0; memory < layout.count; ++memory) {
    const auto& megahertz = memories[static_cast<size_t>(memory)];
    if (!megahertz) continue;
    const int status =
        file.WriteBytes(EncodeRadioRecordMHz(*megahertz), 3, layout.offset + RadioRecordDisplacement(memory));
    failed = failed || status != CSettingsFile::kOk;
  }
  file.Close();
  return failed ? RadioPassStatus::kTransferFailed : RadioPassStatus::kOk;
}

std::filesystem::path RadioImagePath(const std::optional<std::string>& playerRoot) {
  if (!playerRoot) return {};
  return SettingsImagePath(*playerRoot);
}

}  // namespace koral
