// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/WritebackWindow.h"

#include <algorithm>

namespace koral {
namespace {

// Long enough to smooth a device's bursts, short enough to follow a stick
// that slows down once its own cache is full.
constexpr auto kMeasuredSpan = std::chrono::seconds(2);
constexpr auto kShortestMeasure = std::chrono::milliseconds(25);

}  // namespace

void CWritebackWindow::Confirmed(std::uint64_t bytes, Clock::time_point now) {
  const std::lock_guard lock(m_mutex);
  // How long the first confirmed bytes took is unknown: the measure starts after them.
  m_confirmed += bytes;
  m_samples.push_back({now, m_confirmed});
  while (m_samples.size() > 2 && now - m_samples[1].time >= kMeasuredSpan) m_samples.pop_front();
  const Sample& oldest = m_samples.front();
  const auto span = now - oldest.time;
  if (span < kShortestMeasure) return;
  const double bytesPerSecond =
      static_cast<double>(m_confirmed - oldest.confirmedSoFar) / std::chrono::duration<double>(span).count();
  const auto lead = static_cast<std::uint64_t>(bytesPerSecond * std::chrono::duration<double>(kLead).count());
  m_bytes = std::clamp(lead, kMinBytes, kMaxBytes);
}

std::uint64_t CWritebackWindow::Bytes() const {
  const std::lock_guard lock(m_mutex);
  return m_bytes;
}

}  // namespace koral
