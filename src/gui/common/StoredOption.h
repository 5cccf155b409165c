// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

// Writes one option of a window to Config.ini. A failed write is not told
// here: the program tells each Config.ini it could not write once, when it
// ends (koral::UnwrittenProfileFiles), rather than one box per option. A
// value refused for its text (a line break) leaves the one stored before.
void StoreOption(std::string_view section, std::string_view key, std::string_view value,
                 const std::filesystem::path& configIni);
void StoreOption(std::string_view section, std::string_view key, int value, const std::filesystem::path& configIni);
