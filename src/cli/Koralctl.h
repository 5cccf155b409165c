// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace koral::cli {

// koralctl [--player=DIR] [--config-dir=DIR] [--firmware=VERSION] COMMAND ...
// Returns the exit status: 0 done, 1 failed, 2 usage error.
int RunKoralctl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace koral::cli
