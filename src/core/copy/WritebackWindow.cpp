// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/copy/WritebackWindow.h"

#include <algorithm>

namespace koral {
namespace {

// Long enough to smooth a device's bursts, short enough to follow a stick
// that slows down once its own cache is full.
constexpr auto kMeasuredSpan = std::chrono::seconds(2);

double Seconds(CWritebackWindow::Clock::duration span) { return std::chrono::duration<double>(span).count(); }

}  // namespace

void CWritebackWindow::Confirmed(std::uint64_t bytes, Clock::time_point now) {
  const std::lock_guard lock(m_mutex);
  Record(bytes, now);
  // The bytes of the oldest burst went before the measure starts: how long
  // they took is unknown.
  if (m_samples.size() < 2) return;
  const Sample& oldest = m_samples.front();
  const auto span = std::max(now - oldest.last, kShortestSpan);
  const double bytesPerSecond = static_cast<double>(m_confirmed - oldest.confirmedSoFar) / Seconds(span);
  const auto lead = static_cast<std::uint64_t>(bytesPerSecond * Seconds(kLead));
  m_bytes = std::clamp(lead, kMinBytes, kMaxBytes);
}

void CWritebackWindow::Record(std::uint64_t bytes, Clock::time_point now) {
  m_confirmed += bytes;
  if (!m_samples.empty() && now - m_samples.back().first < kBurst) {
    m_samples.back().last = now;
    m_samples.back().confirmedSoFar = m_confirmed;
    return;
  }
  m_samples.push_back({now, now, m_confirmed});
  while (m_samples.size() > 2 && now - m_samples[1].last >= kMeasuredSpan) m_samples.pop_front();
}

std::uint64_t CWritebackWindow::Bytes() const {
  const std::lock_guard lock(m_mutex);
  return m_bytes;
}

}  // namespace koral
