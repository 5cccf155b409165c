// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace koral {

// One key of a version section, converted as atoi converts it. nullopt when
// the key (or the whole section) is missing or its value empty: such a setting
// is neither shown as valid nor written, so offset 0 is never written for it.
std::optional<int> ReadLayoutValue(const std::filesystem::path& configIni, std::string_view version,
                                   std::string_view key);

// An offset key whose span of bytes the image can address: nullopt, like a
// missing key, when the value is missing or empty, negative, or when the span's
// last byte would lie past the largest 32-bit file position.
std::optional<int> ReadLayoutOffset(const std::filesystem::path& configIni, std::string_view version,
                                    std::string_view key, int span);

// The firmware version whose labels and value tables differ from the others.
inline constexpr std::string_view kFirmware119 = "119.0";

}  // namespace koral
