// SPDX-License-Identifier: GPL-3.0-or-later
// Reads Config.ini-like text: every value found must be UTF-8, trimmed and
// within its line (a lone CR belongs to the line: lines end in LF or CR LF).
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "core/config/PrivateProfile.h"
#include "core/config/TextEncoding.h"

namespace {

using koral::fuzz::Require;

void CheckValue(std::string_view bytes, std::string_view section, std::string_view key) {
  const auto value = koral::FindProfileValue(bytes, section, key);
  if (!value) return;
  Require(koral::IsValidUtf8(*value), "a value read is UTF-8");
  Require(value->find('\n') == std::string::npos, "a value ends at its line's end");
  Require(value->empty() || (value->front() != ' ' && value->back() != ' '), "a value is trimmed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  koral::fuzz::FuzzInput input(data, size);
  const std::string_view section = input.Text(16);
  const std::string_view key = input.Text(16);
  const std::string_view bytes = input.Rest();
  CheckValue(bytes, section, key);
  CheckValue(bytes, "firmware", "version");
  CheckValue(bytes, "119.0", "offseteq");
  // Atoi as the C library reads numbers, held to the range of an int.
  const long long reference = std::strtoll(std::string(bytes).c_str(), nullptr, 10);
  Require(koral::Atoi(bytes) == std::clamp<long long>(reference, INT_MIN, INT_MAX), "numbers read as atoi reads them");
  return 0;
}
