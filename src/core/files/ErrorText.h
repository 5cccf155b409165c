// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace koral {

// Which side an error came from: the same error reads differently when the
// computer's file failed and when the player did.
enum class ErrorSide { kComputer, kPlayer };

// A system error in French, as the program's messages give it.
std::string DescribeError(int error, ErrorSide side = ErrorSide::kPlayer);

}  // namespace koral
