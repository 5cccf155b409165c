// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CopyProgressLine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/config/TextEncoding.h"
#include "core/copy/CopyReport.h"

namespace koral::cli {
namespace {

constexpr double kBytesPerMebibyte = 1048576.0;
constexpr auto kRefreshInterval = std::chrono::milliseconds(100);
constexpr double kMaxSecondsLeft = 1e9;
constexpr auto kRateAfter = std::chrono::seconds(1);  // the first moments say little of the device

std::string Mebibytes(std::uint64_t bytes) { return FormatFixed(static_cast<double>(bytes) / kBytesPerMebibyte, 1); }

std::string RateText(double bytesPerSecond) {
  if (bytesPerSecond >= kBytesPerMebibyte) return FormatFixed(bytesPerSecond / kBytesPerMebibyte, 1) + " Mo/s";
  return FormatFixed(bytesPerSecond / 1024.0, 1) + " ko/s";
}

bool IsLast(const CopyProgress& progress) {
  return progress.fileNumber == progress.fileTotal && progress.fileDone == progress.fileSize;
}

}  // namespace

CopyProgressLine::CopyProgressLine(std::ostream& out, CopyClock clock)
    : m_out(out), m_clock(std::move(clock)), m_start(m_clock()) {}

CopyProgressLine::~CopyProgressLine() {
  if (m_shown) m_out << '\n' << std::flush;
}

void CopyProgressLine::Show(const CopyProgress& progress) {
  const auto now = m_clock();
  if (m_shown && !IsLast(progress) && now - m_lastShown < kRefreshInterval) return;
  m_lastShown = now;
  m_shown = true;
  const std::string text = Text(progress, now);
  // Spaces over what a longer line left behind.
  const std::size_t padding = m_shownWidth > text.size() ? m_shownWidth - text.size() : 0;
  m_shownWidth = text.size();
  m_out << '\r' << text << std::string(padding, ' ') << std::flush;
}

std::string CopyProgressLine::Text(const CopyProgress& progress, std::chrono::steady_clock::time_point now) const {
  std::string text = "Fichier : " + std::to_string(progress.fileNumber) + " / " + std::to_string(progress.fileTotal) +
                     "   Total : " + Mebibytes(progress.totalDone) + " / " + Mebibytes(progress.totalSize) + " Mo";
  const std::chrono::duration<double> elapsed = now - m_start;
  if (elapsed < kRateAfter || progress.totalDone == 0) return text;
  const double rate = static_cast<double>(progress.totalDone) / elapsed.count();
  const std::uint64_t left = progress.totalSize > progress.totalDone ? progress.totalSize - progress.totalDone : 0;
  // A trickle of bytes would give more seconds than the count holds.
  const auto secondsLeft =
      static_cast<std::int64_t>(std::min(std::ceil(static_cast<double>(left) / rate), kMaxSecondsLeft));
  return text + "   " + RateText(rate) + "   reste " + FormatDuration(std::chrono::seconds(secondsLeft));
}

}  // namespace koral::cli
