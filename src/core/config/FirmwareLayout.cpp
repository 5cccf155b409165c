// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/FirmwareLayout.h"

#include <cstdint>
#include <limits>

#include "core/config/PrivateProfile.h"

namespace koral {

std::optional<int> ReadLayoutValue(const std::filesystem::path& configIni, std::string_view version,
                                   std::string_view key) {
  const auto text = FindPrivateProfileString(version, key, configIni);
  // An empty value names no offset either: writing it as 0 would hit the image's first bytes.
  if (!text || text->empty()) return std::nullopt;
  return Atoi(*text);
}

std::optional<int> ReadLayoutOffset(const std::filesystem::path& configIni, std::string_view version,
                                    std::string_view key, int span) {
  const auto offset = ReadLayoutValue(configIni, version, key);
  if (!offset || *offset < 0 || *offset > std::numeric_limits<int32_t>::max() - (span - 1)) return std::nullopt;
  return offset;
}

}  // namespace koral
