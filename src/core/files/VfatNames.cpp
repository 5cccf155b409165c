// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/VfatNames.h"

#include <string_view>

namespace koral {

bool RefusedByVfat(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::string_view("\"*:<>?\\|/").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string ToVfatName(const std::string& name) {
  std::string mapped = name;
  for (char& c : mapped)
    if (RefusedByVfat(static_cast<unsigned char>(c))) c = '_';
  while (!mapped.empty() && (mapped.back() == '.' || mapped.back() == ' ')) mapped.pop_back();
  return mapped.empty() ? std::string("_") : mapped;
}

}  // namespace koral
