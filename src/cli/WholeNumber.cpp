// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/WholeNumber.h"

#include <charconv>

namespace koral::cli {

std::optional<int> ParseWholeNumber(std::string_view text, PlusSign plus) {
  // "+-3" stays refused: the "+" is taken only before a digit.
  if (plus == PlusSign::kTaken && text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace koral::cli
