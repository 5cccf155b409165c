// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "core/settings/EqualiserPresets.h"

namespace koral {

using GainTable = std::array<PresetGains, kGainPresetCount>;

// The player and working preset tables of the equaliser. They are shared by
// every equaliser page of the program on purpose: a page that opens reads
// the player into both, and every open page then edits and saves the same
// working table.
class EqualiserTables {
 public:
  static EqualiserTables& Shared();

  // What a page read from the player: both tables take it.
  void TakePlayerGains(const GainTable& gains);
  // A page wrote the working table to the player.
  void MarkWorkingWritten() { m_written = m_working; }
  // The working table differs from what a page last read or wrote.
  bool HasUnwrittenGains() const { return m_working != m_written; }
  // Presets 0 to 9 go back to their factory gains; Perso is kept.
  void RestoreFactory();
  // Every preset goes back to what was read when a page last opened.
  void RestorePlayer();

  void SetWorking(int preset, const PresetGains& gains);
  const PresetGains& Working(int preset) const { return m_working.at(static_cast<size_t>(preset)); }
  const GainTable& WorkingTable() const { return m_working; }
  const GainTable& PlayerTable() const { return m_player; }

 private:
  GainTable m_player{};
  GainTable m_working{};
  GainTable m_written{};  // the player's gains as last read or written
};

}  // namespace koral
