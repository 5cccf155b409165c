// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/config/PrivateProfile.h"

// Writes one value of a test's Config.ini; a write that fails throws, so
// that the test fails rather than run on the wrong setup.
inline void SetConfigOption(std::string_view section, std::string_view key, std::string_view value,
                            const std::filesystem::path& configIni) {
  if (koral::WritePrivateProfileString(section, key, value, configIni) != koral::FileWriteStatus::kWritten)
    throw std::runtime_error("Config.ini not written: " + configIni.string());
}

inline void SetConfigOption(std::string_view section, std::string_view key, int value,
                            const std::filesystem::path& configIni) {
  SetConfigOption(section, key, std::to_string(value), configIni);
}

// Whether the program holds a Config.ini as read-only for the message it
// gives at exit.
inline bool HeldAsReadOnlyAtExit(const std::filesystem::path& configIni) {
  const auto unwritten = koral::UnwrittenProfileFiles();
  return std::any_of(unwritten.begin(), unwritten.end(), [&configIni](const koral::UnwrittenProfileFile& file) {
    std::error_code error;
    return file.status == koral::FileWriteStatus::kReadOnly && std::filesystem::equivalent(file.file, configIni, error);
  });
}
