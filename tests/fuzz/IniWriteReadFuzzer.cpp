// SPDX-License-Identifier: GPL-3.0-or-later
// Writes one value into Config.ini-like text, then reads it back: the value
// comes back trimmed, and every other key reads as it did before.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "core/config/PrivateProfile.h"
#include "core/config/TextEncoding.h"

namespace {

using koral::fuzz::Require;

// Names as the program uses them: short words of letters, digits and dots.
std::string NameFrom(std::string_view text) {
  std::string name;
  for (const char c : text) name += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJ0123456789."[static_cast<uint8_t>(c) % 47];
  return name.empty() ? "k" : name;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  koral::fuzz::FuzzInput input(data, size);
  const std::string section = NameFrom(input.Text(6));
  const std::string key = NameFrom(input.Text(6));
  const std::string otherSection = NameFrom(input.Text(6));
  const std::string otherKey = NameFrom(input.Text(6));
  const std::string_view value = input.Text(40);
  const std::string_view bytes = input.Rest();

  const auto otherBefore = koral::FindProfileValue(bytes, otherSection, otherKey);
  const auto written = koral::SetProfileValue(bytes, section, key, value);
  const bool acceptable = koral::IsValidUtf8(value) && value.find_first_of("\r\n") == std::string_view::npos;
  Require(written.has_value() == acceptable, "a write is refused exactly when the value cannot be stored");
  if (!written) return 0;
  Require(koral::FindProfileValue(*written, section, key) == std::string(Trim(value)), "the value reads back");
  if (koral::EqualNoCase(section, otherSection) && koral::EqualNoCase(key, otherKey)) return 0;
  Require(koral::FindProfileValue(*written, otherSection, otherKey) == otherBefore, "the other keys read as before");
  return 0;
}
