// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace koral::cli {

// Rows of --help: a syntax and what it does, the second column aligned; a
// syntax too long for the column puts its text on the next line.
using HelpRows = std::vector<std::pair<std::string, std::string>>;
void PrintHelpRows(std::ostream& out, const HelpRows& rows);

}  // namespace koral::cli
