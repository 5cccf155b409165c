// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

#include "core/copy/CopyEngine.h"

namespace koral::cli {

// Any monotonic time; tests give their own.
using CopyClock = std::function<std::chrono::steady_clock::time_point()>;

// The copy's line on a terminal, rewritten in place at most ten times a
// second: "Fichier : 3 / 12   Total : 10.5 / 34.5 Mo   3.2 Mo/s   reste 0:08".
// The rate is the average since the line was made; rate and time left show
// once the copy has run a second.
class CopyProgressLine {
 public:
  CopyProgressLine(std::ostream& out, CopyClock clock);
  ~CopyProgressLine();  // ends the line
  CopyProgressLine(const CopyProgressLine&) = delete;
  CopyProgressLine& operator=(const CopyProgressLine&) = delete;

  void Show(const CopyProgress& progress);

  // The text of the line at `now`, without the carriage return and padding.
  std::string Text(const CopyProgress& progress, std::chrono::steady_clock::time_point now) const;

 private:
  std::ostream& m_out;
  CopyClock m_clock;
  std::chrono::steady_clock::time_point m_start;
  std::chrono::steady_clock::time_point m_lastShown;
  std::size_t m_shownWidth = 0;
  bool m_shown = false;
};

}  // namespace koral::cli
