// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/RadioFrequency.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "core/config/TextEncoding.h"

namespace koral {

bool IsTypedFrequencyAccepted(double megahertz) {
  return megahertz >= kLowestTypedMHz && megahertz <= kHighestTypedMHz;
}

std::string FormatMegahertz(double megahertz) { return FormatFixed(megahertz, 1); }

namespace {

constexpr long kLowestTypedKilohertz = 87500;
constexpr long kHighestTypedKilohertz = 108000;

std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\n\r\f\v";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits, then at most one separator followed by digits or nothing; the
// separator becomes a point.
std::optional<std::string> PlainDecimal(std::string_view text) {
  if (text.empty() || !IsDigit(text.front())) return std::nullopt;
  std::string number(text);
  bool separatorSeen = false;
  for (char& c : number) {
    if (IsDigit(c)) continue;
    if ((c != '.' && c != ',') || separatorSeen) return std::nullopt;
    separatorSeen = true;
    c = '.';
  }
  return number;
}

}  // namespace

std::optional<double> ParseTypedMegahertz(std::string_view text) {
  const auto number = PlainDecimal(TrimBlanks(text));
  if (!number) return std::nullopt;
  double value = 0.0;
  const char* last = number->data() + number->size();
  const auto [end, error] = std::from_chars(number->data(), last, value, std::chars_format::fixed);
  if (error != std::errc() || end != last || !(value < 1e6)) return std::nullopt;
  const long kilohertz = std::lround(value * 1000.0);
  if (kilohertz < kLowestTypedKilohertz || kilohertz > kHighestTypedKilohertz) return std::nullopt;
  return static_cast<double>(kilohertz) / 1000.0;
}

std::string FormatMemoryMegahertz(double megahertz) {
  if (!std::isfinite(megahertz) || std::fabs(megahertz) > 1e9) return FormatMegahertz(megahertz);
  const long kilohertz = std::lround(megahertz * 1000.0);
  const int decimals = kilohertz % 100 == 0 ? 1 : kilohertz % 10 == 0 ? 2 : 3;
  return FormatFixed(static_cast<double>(kilohertz) / 1000.0, decimals);
}

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
