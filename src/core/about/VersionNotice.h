// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace koral {

// The licence in one line, as the about box shows it.
inline constexpr std::string_view kLicenceLine = "Licence GPLv3+ : GNU GPL version 3 ou ultérieure";

// What --version prints, in the form of the GNU tools: the program and its
// version, then the licence and the absence of warranty.
std::string VersionNotice(std::string_view program, std::string_view version);

}  // namespace koral
