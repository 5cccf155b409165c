#pragma once

#include <string>
#include <string_view>

namespace koral {

// Frequencies typed by the user are taken only inside the FM band.
inline constexpr double kLowestTypedMHz = 87.5;
inline constexpr double kHighestTypedMHz = 108.0;

bool IsTypedFrequencyAccepted(double megahertz);

// "%.1f" with a point whatever the user's locale.
std::string FormatMegahertz(double megahertz);

// Reads text the way atof does (leading blanks, an optional sign, the number
// up to the first character that cannot continue it; no number gives 0),
// always with a point: "88,5" reads as 88.
double ReadMegahertz(std::string_view text);

// A frequency's key: its value in tenths of a MHz, rounded to the nearest.
long FrequencyKey(double megahertz);

}  // namespace koral
