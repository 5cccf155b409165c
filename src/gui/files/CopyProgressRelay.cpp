// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/files/CopyProgressRelay.h"

void CCopyProgressRelay::OnProgress(const koral::CopyProgress& progress) {
  {
    const std::lock_guard lock(m_mutex);
    m_latest = progress;
    ++m_version;
  }
  if (!m_signalPending.exchange(true)) emit progressAvailable();
}

koral::CopyProgress CCopyProgressRelay::Take(bool* changed) {
  const std::lock_guard lock(m_mutex);
  if (changed) *changed = m_version != m_takenVersion;
  m_takenVersion = m_version;
  return m_latest;
}

void CCopyProgressRelay::Rearm() { m_signalPending = false; }

void CCopyProgressRelay::Reset() {
  const std::lock_guard lock(m_mutex);
  m_latest = {};
  m_version = m_takenVersion = 0;
  m_signalPending = false;
}
