// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace koral::cli {

// Whether a number may be written with a leading "+", as users write gains ("+5").
enum class PlusSign { kRefused, kTaken };

// A whole decimal number and nothing else: no blanks, no other character.
// nullopt for any other text or a number out of the range of int.
std::optional<int> ParseWholeNumber(std::string_view text, PlusSign plus = PlusSign::kRefused);

}  // namespace koral::cli
