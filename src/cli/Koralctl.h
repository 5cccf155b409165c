// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/platform/RunContext.h"

namespace koral::cli {

// koralctl [--player=DIR] [--config-dir=DIR] [--firmware=VERSION] COMMAND ...
// The environment's word comes as a context, read once by main; the
// command line's options go over it. Returns the exit status: 0 done,
// 1 failed, 2 usage error.
int RunKoralctl(const std::vector<std::string>& arguments, const RunContext& environment, std::ostream& out,
                std::ostream& err);

}  // namespace koral::cli
