// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/SizeText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/config/TextEncoding.h"

namespace koral {
namespace {

constexpr std::int64_t kKibibyte = 1024;
constexpr std::int64_t kMebibyte = 1024 * kKibibyte;
constexpr std::int64_t kGibibyte = 1024 * kMebibyte;

// As atof reads the number of a size text: leading digits with a point.
// "nan" and "inf", which from_chars also takes, read 0: they would break the
// order of a sort by size.
double LeadingNumber(std::string_view text) {
  double value = 0.0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return result.ec == std::errc() && std::isfinite(value) ? value : 0.0;
}

}  // namespace

std::string FormatSize(std::int64_t bytes) {
  if (bytes <= kKibibyte) return std::to_string(bytes) + " o";
  if (bytes <= kMebibyte) return std::to_string(bytes / kKibibyte) + " Ko";
  if (bytes <= kGibibyte) return FormatFixed(static_cast<double>(bytes) / kMebibyte, 1) + " Mo";
  return FormatFixed(static_cast<double>(bytes / kMebibyte) / 1024.0, 2) + " Go";
}

float ReadSizeText(std::string_view text) {
  float factor = 1.0f;
  size_t unitLength = 2;  // " o"
  if (text.size() >= 2) {
    const std::string_view unit = text.substr(text.size() - 2);
    if (unit == "Ko") factor = static_cast<float>(kKibibyte);
    else if (unit == "Mo") factor = static_cast<float>(kMebibyte);
    else if (unit == "Go") factor = static_cast<float>(kGibibyte);
    if (factor != 1.0f) unitLength = 3;
  }
  const std::string_view number = text.substr(0, text.size() > unitLength ? text.size() - unitLength : 0);
  // Held within a float: a longer number than any size would not fit.
  const double bytes = LeadingNumber(number) * factor;
  constexpr double kLargest = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(bytes, -kLargest, kLargest));
}

std::string FileType(std::string_view name) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  return std::string(name.substr(dot + 1));
}

}  // namespace koral
