// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/common/StoredOption.h"

#include "core/config/PrivateProfile.h"

void StoreOption(std::string_view section, std::string_view key, std::string_view value,
                 const std::filesystem::path& configIni) {
  // Remembered by the write itself for the message at exit.
  static_cast<void>(koral::WritePrivateProfileString(section, key, value, configIni));
}

void StoreOption(std::string_view section, std::string_view key, int value, const std::filesystem::path& configIni) {
  static_cast<void>(koral::WritePrivateProfileInt(section, key, value, configIni));
}
