#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace koral {

// [firmware] version of Config.ini: the name of the section holding the
// offsets of the settings image for the player's firmware.
std::string ReadFirmwareVersion(const std::filesystem::path& configIni);

// One key of a version section, converted as atoi converts it. nullopt when
// the key (or the whole section) is missing or its value empty: such a setting
// is neither shown as valid nor written, so offset 0 is never written for it.
std::optional<int> ReadLayoutValue(const std::filesystem::path& configIni, std::string_view version,
                                   std::string_view key);

// The firmware version whose labels and value tables differ from the others.
inline constexpr std::string_view kFirmware119 = "119.0";

}  // namespace koral
