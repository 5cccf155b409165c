// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace koral {

// Frequencies typed by the user are taken only inside the FM band.
inline constexpr double kLowestTypedMHz = 87.5;
inline constexpr double kHighestTypedMHz = 108.0;

bool IsTypedFrequencyAccepted(double megahertz);

// "%.1f" with a point whatever the user's locale.
std::string FormatMegahertz(double megahertz);

// A frequency typed by the user, in the window or on koralctl's command
// line: digits with at most one decimal point or comma ("88,5" is 88.5),
// blanks around it allowed, rounded to the kHz the player stores. Anything
// else ("1e2", "88.5x", "", a sign) and frequencies outside the band give
// nullopt.
std::optional<double> ParseTypedMegahertz(std::string_view text);

// A memory's frequency as its field shows it: one decimal, or the two or
// three a frequency between tenths needs ("101.35"), so that the text reads
// back as the very kHz that are written.
std::string FormatMemoryMegahertz(double megahertz);

// Reads text the way atof does (leading blanks, an optional sign, the number
// up to the first character that cannot continue it; no number gives 0),
// always with a point: "88,5" reads as 88.
double ReadMegahertz(std::string_view text);

// A frequency's key: its value in tenths of a MHz, rounded to the nearest.
long FrequencyKey(double megahertz);

}  // namespace koral
