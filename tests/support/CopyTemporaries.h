// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace koral::test {

// Every copy temporary below a folder, and the copies' hidden folders.
std::vector<std::string> CopyTemporariesUnder(const std::filesystem::path& folder);

// The temporary a copy writes for the final name, wherever its run keeps
// it below the player; empty when there is none.
std::filesystem::path TemporaryOf(const std::filesystem::path& player, const std::string& finalName);

}  // namespace koral::test
