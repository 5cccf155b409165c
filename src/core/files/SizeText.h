// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace koral {

// A byte count as the lists show it: "%d o" up to 1024, "%d Ko" up to 1 MiB,
// "%.1f Mo" up to 1 GiB, "%.2f Go" above; each bound belongs to the lower
// form. The decimal separator is always a point.
std::string FormatSize(std::int64_t bytes);

// The byte count a FormatSize text stands for, read back as the sort by size
// needs it: the leading number times the unit. An empty text reads 0.
float ReadSizeText(std::string_view text);

// The "Type" column of a file: what follows the last dot of its name, empty
// when there is no dot or the name ends with one.
std::string FileType(std::string_view name);

}  // namespace koral
