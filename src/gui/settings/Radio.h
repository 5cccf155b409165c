// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/platform/RunContext.h"
#include "core/settings/RadioMemories.h"
#include "gui/settings/SettingsPage.h"

class QLabel;
class QLineEdit;
class RadioStationList;

namespace Ui {
class CRadio;
}

// The "Radio" tab: the twenty FM memories A to T of the player and, beside
// them, the stations of one city from Radios.ini. The memories reach the
// player only through the save buttons; the chosen city is remembered in
// Config.ini when the tab is left and when the sheet closes.
class CRadio final : public SettingsPage {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CRadio)

 public:
  explicit CRadio(const koral::RunContext& context, QWidget* parent = nullptr);
  ~CRadio() override;

  void Load() override;
  // The chosen city, when there is one.
  void StoreOptions() override;
  bool HoldsUnwrittenChanges() override;
  bool SaveChanges() override;

 private:
  void CollectMemoryControls();
  void ConnectControls();
  void ReadLayout();
  void ChooseRememberedCity();

  void FillCities();
  void FillStations();
  void ReadRadiosKORAL();
  bool SaveRadios();
  void ShowFrequency(int memory);
  void ShowStationName(int memory);
  void CheckFrequency(int memory);

  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnCityChosen();
  void OnStationDoubleClicked();
  void OnSave();
  void OnSaveAndQuit();
  void TakeFocusedFrequency();
  void DisableMemories();
  int CurrentMemory() const;
  int MemoryOfEdit(const QObject* edit) const;

  std::unique_ptr<Ui::CRadio> m_ui;
  const koral::RunContext& m_context;      // the run's, which outlives every window
  RadioStationList* m_stations = nullptr;  // owned by the station table
  std::array<QLineEdit*, koral::kMaxRadios> m_frequencyEdits{};
  std::array<QLabel*, koral::kMaxRadios> m_stationNames{};
  koral::RadioMemories m_memories;
  koral::RadioMemories m_written;  // as last read from or written to the player
  std::filesystem::path m_configIni;
  std::filesystem::path m_radiosIni;
  std::string m_firmwareVersion;
  std::optional<koral::RadioLayout> m_layout;
  std::optional<std::string> m_playerRoot;
};
