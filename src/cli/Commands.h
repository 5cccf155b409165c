// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include "cli/Command.h"

namespace koral::cli {

// Every command of koralctl, in the order of --help.
std::vector<std::unique_ptr<Command>> AllCommands();

}  // namespace koral::cli
