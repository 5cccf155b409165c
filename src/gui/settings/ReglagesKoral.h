// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/platform/RunContext.h"
#include "core/settings/PlayerSettings.h"
#include "gui/settings/SettingsPage.h"

class LevelSpin;
class QButtonGroup;

namespace Ui {
class CReglagesKoral;
}

// The tab "Réglages de l'Koral": the thirteen settings of the player's own.
// All are read by Load(); a save writes back only the ones the user changed
// since the page was read, saved or "reloaded".
class CReglagesKoral final : public SettingsPage {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CReglagesKoral)

 public:
  explicit CReglagesKoral(const koral::RunContext& context, QWidget* parent = nullptr);
  ~CReglagesKoral() override;

  // The firmware's layout from Config.ini, then every setting from the player.
  void Load() override;
  void ReadKORALValues();
  // False after a fatal failure (the program has ended unless under test).
  bool EnregistreReglages();
  void ResetChanges();

  bool HoldsUnwrittenChanges() override;
  bool SaveChanges() override;

 private:
  void FindControls();
  void ApplyLayout();
  void DisableMissingSettings();
  void ConnectControls();
  void ShowValues(const koral::PlayerSettingValues& values);
  void ShowChoice(koral::PlayerSetting setting, std::optional<int> value);
  koral::PlayerSettingValues TakeValues() const;
  void MarkChanged(koral::PlayerSetting setting);
  void OnSave();
  void OnSaveAndQuit();
  std::string ImagePath() const;

  std::unique_ptr<Ui::CReglagesKoral> m_ui;
  const koral::RunContext& m_context;  // the run's, which outlives every window
  // Per setting: its choices (groups) or its level spin; null where it has none.
  std::array<QButtonGroup*, koral::kPlayerSettingCount> m_choiceGroups{};
  std::array<LevelSpin*, koral::kPlayerSettingCount> m_levelSpins{};
  std::optional<std::string> m_playerRoot;
  koral::PlayerSettingsLayout m_layout;
  koral::PlayerSettingMarks m_changed{};
  koral::PlayerSettingValues m_written{};  // as last read from or written to the player
};
