#include "settings/RadioFrequency.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "config/TextEncoding.h"

namespace koral {

bool IsTypedFrequencyAccepted(double megahertz) {
  return megahertz >= kLowestTypedMHz && megahertz <= kHighestTypedMHz;
}

std::string FormatMegahertz(double megahertz) { return FormatFixed(megahertz, 1); }

double ReadMegahertz(std::string_view text) {
  size_t start = text.find_first_not_of(" \t\n\r\f\v");
  if (start == std::string_view::npos) return 0.0;
  bool negative = false;
  if (text[start] == '+' || text[start] == '-') {
    negative = text[start] == '-';
    ++start;
  }
  double value = 0.0;
  // from_chars takes no sign of its own after the one read above.
  if (start < text.size() && (text[start] == '+' || text[start] == '-')) return 0.0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
  if (error != std::errc()) return 0.0;
  return negative ? -value : value;
}

long FrequencyKey(double megahertz) {
  // No station lies on a frequency that cannot be keyed.
  if (!std::isfinite(megahertz) || std::fabs(megahertz) > 1e12) return std::numeric_limits<long>::min();
  return std::lround(megahertz * 10.0);
}

}  // namespace koral
