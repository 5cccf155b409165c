// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/copy/CopyPlan.h"

namespace koral::test {

// A copy of each name of `computer` to the same name at the player's root,
// as the window's copy button makes it.
CopyJob JobCopyingNames(const std::filesystem::path& computer, const std::filesystem::path& player,
                        const std::vector<std::string>& names, const CopyOptions& options = {});

}  // namespace koral::test
