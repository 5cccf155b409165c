// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/HelpText.h"

#include <algorithm>

namespace koral::cli {
namespace {

constexpr size_t kIndent = 2;
constexpr size_t kGap = 2;
constexpr size_t kWidestColumn = 30;

// Characters on the screen, not bytes: the French texts hold accents.
size_t ScreenWidth(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

void PrintHelpRows(std::ostream& out, const HelpRows& rows) {
  size_t column = 0;
  for (const auto& [syntax, summary] : rows)
    if (ScreenWidth(syntax) <= kWidestColumn) column = std::max(column, ScreenWidth(syntax));
  const std::string margin(kIndent + column + kGap, ' ');
  for (const auto& [syntax, summary] : rows) {
    out << std::string(kIndent, ' ') << syntax;
    const size_t width = ScreenWidth(syntax);
    if (width > column) out << '\n' << margin;
    else out << std::string(column - width + kGap, ' ');
    out << summary << '\n';
  }
}

}  // namespace koral::cli
