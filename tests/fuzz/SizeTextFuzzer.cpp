// SPDX-License-Identifier: GPL-3.0-or-later
// Size texts: any text reads as a size; a size shown reads back close to itself.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "core/files/SizeText.h"

namespace {

// How far the text shown may stray from the size: the unit's last digit,
// and a float's precision for the number read back.
double Slack(int64_t bytes) {
  constexpr double kMebibyte = 1024.0 * 1024.0;
  const double precision = static_cast<double>(bytes) * 1e-6;
  if (bytes <= 1024) return 0.0;
  if (bytes <= 1024 * 1024) return 1024.0;
  if (bytes <= 1024 * 1024 * 1024) return 0.05 * kMebibyte + precision;
  return kMebibyte + 0.005 * 1024.0 * kMebibyte + precision;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using koral::fuzz::Require;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Require(!std::isnan(koral::ReadSizeText(text)), "a size text reads as a number");
  const std::string type = koral::FileType(text);
  Require(type.find('.') == std::string::npos && text.ends_with(type), "the type is what follows the last dot");

  int64_t bytes = 0;
  std::memcpy(&bytes, data, std::min(size, sizeof bytes));
  if (bytes < 0) return 0;  // no file has a negative size
  const double shown = koral::ReadSizeText(koral::FormatSize(bytes));
  Require(std::fabs(shown - static_cast<double>(bytes)) <= Slack(bytes), "a size shown reads back close to itself");
  return 0;
}
