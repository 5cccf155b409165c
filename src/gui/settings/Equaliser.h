// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/platform/RunContext.h"
#include "core/settings/EqualiserImage.h"
#include "gui/settings/SettingsPage.h"

class QButtonGroup;
class QLabel;
class QSlider;

namespace Ui {
class CEqualiser;
}

// The "Equaliser" tab: the gains of the eleven presets and the player's
// selected preset. It reads the player once, in Load(), and writes it only
// through its save buttons. The preset tables it edits are shared
// with the equaliser page of every other open sheet.
class CEqualiser final : public SettingsPage {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CEqualiser)

 public:
  explicit CEqualiser(const koral::RunContext& context, QWidget* parent = nullptr);
  ~CEqualiser() override;

  void Load() override;
  void StoreOptions() override;
  bool HoldsUnwrittenChanges() override;
  bool SaveChanges() override;

 private:
  void ReadOptions();
  bool ReadPlayer();
  void ShowPlayerSelection(int selectedPreset);
  void ListPresetNames(const koral::PresetNameList& names);

  void OnShowPreset();
  void OnSliderMoved();
  void OnRestoreFactory();
  void OnRestorePlayer();
  bool OnEqvalid();
  void OnSaveAndQuit();

  void TakeControls();
  void ShowMembers();
  void RefreshSliders();
  void EnterAutoState();
  void ShowSliderLabels();
  void SetGainsAvailable(bool available);

  std::array<QSlider*, koral::kBandCount> Sliders() const;
  std::array<QLabel*, koral::kBandCount> ValueLabels() const;

  std::unique_ptr<Ui::CEqualiser> m_ui;
  const koral::RunContext& m_context;  // the run's, which outlives every window
  QButtonGroup* m_modificationGroup = nullptr;
  QButtonGroup* m_validationGroup = nullptr;

  int m_presetIndex = -1;         // -1: the list shows no preset
  int m_modificationChoice = -1;  // 1: a slider edits Perso
  int m_validationChoice = -1;    // 0: a save selects the shown preset on the player
  int m_writtenSelection = -1;    // the player's selection byte as last read or written

  std::filesystem::path m_configIni;
  std::optional<std::string> m_playerRoot;
  koral::EqualiserLayout m_layout;
  bool m_gainsAvailable = false;
};
