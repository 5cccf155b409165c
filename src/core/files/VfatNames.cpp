// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/VfatNames.h"

#include <string_view>

namespace koral {

bool RefusedByVfat(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("\"*:<>?\\|/").find(static_cast<char>(c)) != std::string_view::npos;
}

namespace {

// Longer than this, an extension is rather the end of a title ("Vol. 2 ...").
constexpr std::size_t kLongestExtension = 16;

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Cut to at most `size` bytes, never inside a UTF-8 character.
std::string_view CutAt(std::string_view text, std::size_t size) {
  if (text.size() <= size) return text;
  while (size > 0 && IsContinuationByte(text[size])) --size;
  return text.substr(0, size);
}

}  // namespace

std::string FitNameLength(const std::string& name) {
  if (name.size() <= kLongestNameBytes) return name;
  const std::size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && dot > 0 && name.size() - dot <= kLongestExtension;
  const std::string_view extension = hasExtension ? std::string_view(name).substr(dot) : std::string_view();
  const std::string_view stem = std::string_view(name).substr(0, name.size() - extension.size());
  return std::string(CutAt(stem, kLongestNameBytes - extension.size())) + std::string(extension);
}

std::string ToVfatName(const std::string& name) {
  std::string mapped = name;
  for (char& c : mapped)
    if (RefusedByVfat(static_cast<unsigned char>(c))) c = '_';
  mapped = FitNameLength(mapped);
  while (!mapped.empty() && (mapped.back() == '.' || mapped.back() == ' ')) mapped.pop_back();
  return mapped.empty() ? std::string("_") : mapped;
}

}  // namespace koral
