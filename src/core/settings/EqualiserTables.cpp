// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/EqualiserTables.h"

#include <algorithm>

namespace koral {

EqualiserTables& EqualiserTables::Shared() {
  static EqualiserTables tables;
  return tables;
}

void EqualiserTables::TakePlayerGains(const GainTable& gains) {
  m_player = gains;
  m_working = gains;
  m_written = gains;
}

void EqualiserTables::RestoreFactory() { std::copy(kFactoryPresets.begin(), kFactoryPresets.end(), m_working.begin()); }

void EqualiserTables::RestorePlayer() { m_working = m_player; }

void EqualiserTables::SetWorking(int preset, const PresetGains& gains) {
  m_working.at(static_cast<size_t>(preset)) = gains;
}

}  // namespace koral
