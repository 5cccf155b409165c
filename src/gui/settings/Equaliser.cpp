// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/Equaliser.h"

#include <QButtonGroup>
#include <QSignalBlocker>

#include "core/config/FirmwareLayout.h"
#include "core/config/PrivateProfile.h"
#include "core/config/ProgramFolder.h"
#include "core/files/Paths.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/platform/PlayerDetection.h"
#include "gui/common/BackupRefusal.h"
#include "gui/common/ButtonChoice.h"
#include "gui/common/FatalExit.h"
#include "gui/common/Prompt.h"
#include "gui/common/StoredOption.h"
#include "ui_Equaliser.h"

namespace {

using koral::EqualiserTables;

constexpr const char* kSection = "equaliser";
constexpr const char* kValidationKey = "preset";
constexpr const char* kModificationKey = "perso";

void FailPass(QWidget* page, const char* operation, koral::ImagePassResult result, koral::ImageTransfer transfer) {
  FailImagePass(page, QStringLiteral("CEqualiser::%1").arg(QLatin1String(operation)), result, transfer);
}

int ReadOption(const std::filesystem::path& configIni, const char* key) {
  return koral::Atoi(koral::GetPrivateProfileString(kSection, key, "1", configIni));
}

bool IsGainPreset(int preset) { return preset >= 0 && preset < koral::kGainPresetCount; }
bool IsListedPreset(int preset) { return preset >= 0 && preset < koral::kPresetCount; }

}  // namespace

CEqualiser::CEqualiser(const koral::RunContext& context, QWidget* parent)
    : SettingsPage(parent), m_ui(std::make_unique<Ui::CEqualiser>()), m_context(context) {
  m_ui->setupUi(this);
  m_modificationGroup = new QButtonGroup(this);
  m_modificationGroup->addButton(m_ui->applySelectedRadio, 0);
  m_modificationGroup->addButton(m_ui->applyPersoRadio, 1);
  m_validationGroup = new QButtonGroup(this);
  m_validationGroup->addButton(m_ui->selectCurrentRadio, 0);
  m_validationGroup->addButton(m_ui->keepOriginalRadio, 1);

  for (QSlider* slider : Sliders()) connect(slider, &QSlider::valueChanged, this, &CEqualiser::OnSliderMoved);
  // activated also comes when the user picks the preset already shown, to see
  // what another sheet made of it; both run the same idempotent handler.
  connect(m_ui->presetCombo, &QComboBox::currentIndexChanged, this, &CEqualiser::OnShowPreset);
  connect(m_ui->presetCombo, &QComboBox::activated, this, &CEqualiser::OnShowPreset);
  connect(m_ui->restoreFactoryButton, &QPushButton::clicked, this, &CEqualiser::OnRestoreFactory);
  connect(m_ui->reloadPlayerButton, &QPushButton::clicked, this, &CEqualiser::OnRestorePlayer);
  connect(m_ui->saveButton, &QPushButton::clicked, this, &CEqualiser::OnEqvalid);
  connect(m_ui->saveAndQuitButton, &QPushButton::clicked, this, &CEqualiser::OnSaveAndQuit);
  connect(m_ui->quitButton, &QPushButton::clicked, this, &CEqualiser::quitWithoutSavingRequested);
  SetGainsAvailable(false);
}

CEqualiser::~CEqualiser() = default;

// The gains, and the shown preset when a save would select it on the player.
// A slider moved and put back is no change.
bool CEqualiser::HoldsUnwrittenChanges() {
  if (!m_gainsAvailable) return false;
  TakeControls();
  const bool selectionChanged =
      m_validationChoice == 0 && IsListedPreset(m_presetIndex) && m_presetIndex != m_writtenSelection;
  return selectionChanged || EqualiserTables::Shared().HasUnwrittenGains();
}

bool CEqualiser::SaveChanges() { return OnEqvalid(); }

// A slider's value is its gain: +20 at the top, -12 at the bottom, so that
// its filled part grows with the gain.
std::array<QSlider*, koral::kBandCount> CEqualiser::Sliders() const {
  return {m_ui->slider62Hz, m_ui->slider250Hz, m_ui->slider1kHz, m_ui->slider4kHz, m_ui->slider16kHz};
}

std::array<QLabel*, koral::kBandCount> CEqualiser::ValueLabels() const {
  return {m_ui->value62HzLabel, m_ui->value250HzLabel, m_ui->value1kHzLabel, m_ui->value4kHzLabel,
          m_ui->value16kHzLabel};
}

void CEqualiser::Load() {
  ReadOptions();
  m_layout = koral::ReadEqualiserLayout(m_configIni, koral::ReadFirmwareVersion(m_configIni));
  m_playerRoot = koral::FindPlayerRoot(m_context);
  if (!m_layout.IsComplete()) {
    Prompt::Message(this, QString::fromStdString(koral::MissingEqualiserKeysMessage(m_layout)),
                    QStringLiteral("Equaliser"));
  } else if (ReadPlayer()) {
    if (m_layout.firmwareVersion == koral::kFirmware119) ListPresetNames(koral::kPresetNames119);
    SetGainsAvailable(true);
  }
  ShowMembers();
}

void CEqualiser::ListPresetNames(const koral::PresetNameList& names) {
  const QSignalBlocker blocker(m_ui->presetCombo);
  m_ui->presetCombo->clear();
  for (std::string_view name : names)
    m_ui->presetCombo->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void CEqualiser::ReadOptions() {
  m_configIni = koral::ConfigIniPath(m_context);
  m_validationChoice = ReadOption(m_configIni, kValidationKey);
  m_modificationChoice = ReadOption(m_configIni, kModificationKey);
}

// One pass: every gain and the selected preset, into the shared tables.
bool CEqualiser::ReadPlayer() {
  if (!m_playerRoot) {
    FailPass(this, "OnInitDialog", koral::ImagePassResult::kImageNotOpened, koral::ImageTransfer::kRead);
    return false;
  }
  koral::EqualiserPass pass(koral::SettingsImagePath(*m_playerRoot), m_layout);
  if (!pass.IsOpen()) {
    FailPass(this, "OnInitDialog", koral::ImagePassResult::kImageNotOpened, koral::ImageTransfer::kRead);
    return false;
  }
  koral::GainTable gains{};
  int selectedPreset = 0;
  if (!pass.ReadGains(gains) || !pass.ReadSelectedPreset(selectedPreset)) {
    pass.Close();
    FailPass(this, "OnInitDialog", koral::ImagePassResult::kTransferFailed, koral::ImageTransfer::kRead);
    return false;
  }
  pass.Close();
  EqualiserTables::Shared().TakePlayerGains(gains);
  m_writtenSelection = selectedPreset;
  ShowPlayerSelection(selectedPreset);
  return true;
}

// A selection byte the list does not know is shown as no preset, without
// sliders; a save then leaves the byte alone unless the user picks one.
void CEqualiser::ShowPlayerSelection(int selectedPreset) {
  m_presetIndex = IsListedPreset(selectedPreset) ? selectedPreset : -1;
  if (IsGainPreset(m_presetIndex)) RefreshSliders();
  else EnterAutoState();
}

void CEqualiser::OnShowPreset() {
  TakeControls();
  if (!IsGainPreset(m_presetIndex)) {
    EnterAutoState();
  } else {
    RefreshSliders();
    for (QSlider* slider : Sliders()) slider->show();
  }
  ShowMembers();
}

void CEqualiser::OnSliderMoved() {
  TakeControls();
  ShowSliderLabels();
  if (m_modificationChoice == 1) m_presetIndex = koral::kPersoPreset;
  if (IsGainPreset(m_presetIndex)) {
    koral::PresetGains gains{};
    const auto sliders = Sliders();
    for (size_t band = 0; band < sliders.size(); ++band) gains[band] = sliders[band]->value();
    EqualiserTables::Shared().SetWorking(m_presetIndex, gains);
  }
  ShowMembers();
}

void CEqualiser::OnRestoreFactory() {
  TakeControls();  // keeps the option buttons the user just clicked
  EqualiserTables::Shared().RestoreFactory();
  RefreshSliders();
  ShowMembers();
}

void CEqualiser::OnRestorePlayer() {
  TakeControls();  // keeps the option buttons the user just clicked
  EqualiserTables::Shared().RestorePlayer();
  RefreshSliders();
  ShowMembers();
}

// One pass: the selected preset (when the validation choice asks for it),
// then the 165 bytes of gains.
bool CEqualiser::OnEqvalid() {
  if (!m_gainsAvailable) return false;
  if (!m_playerRoot) {
    FailPass(this, "OnEqvalid", koral::ImagePassResult::kImageNotOpened, koral::ImageTransfer::kWrite);
    return false;
  }
  koral::EqualiserPass pass(koral::SettingsImagePath(*m_playerRoot), m_layout);
  if (!pass.IsOpen()) {
    FailPass(this, "OnEqvalid", koral::ImagePassResult::kImageNotOpened, koral::ImageTransfer::kWrite);
    return false;
  }
  TakeControls();
  const bool selectionWritten =
      m_validationChoice != 0 || !IsListedPreset(m_presetIndex) || pass.WriteSelectedPreset(m_presetIndex);
  const bool written = selectionWritten && pass.WriteGains(EqualiserTables::Shared().WorkingTable());
  const koral::ImagePassResult result = pass.Finish(written);
  if (result != koral::ImagePassResult::kOk) {
    if (!ReportRefusedWrite(this, result)) FailPass(this, "OnEqvalid", result, koral::ImageTransfer::kWrite);
    return false;
  }
  EqualiserTables::Shared().MarkWorkingWritten();
  if (m_validationChoice == 0 && IsListedPreset(m_presetIndex)) m_writtenSelection = m_presetIndex;
  return true;
}

void CEqualiser::OnSaveAndQuit() {
  if (OnEqvalid()) emit closeSheetRequested();
}

// Nothing to store before Load() has said where Config.ini is.
void CEqualiser::StoreOptions() {
  if (m_configIni.empty()) return;
  TakeControls();
  StoreOption(kSection, kValidationKey, m_validationChoice, m_configIni);
  StoreOption(kSection, kModificationKey, m_modificationChoice, m_configIni);
}

void CEqualiser::TakeControls() {
  m_presetIndex = m_ui->presetCombo->currentIndex();
  m_modificationChoice = m_modificationGroup->checkedId();
  m_validationChoice = m_validationGroup->checkedId();
}

void CEqualiser::ShowMembers() {
  {
    const QSignalBlocker blocker(m_ui->presetCombo);
    m_ui->presetCombo->setCurrentIndex(m_presetIndex);
  }
  ShowCheckedChoice(m_modificationGroup, m_modificationChoice);
  ShowCheckedChoice(m_validationGroup, m_validationChoice);
}

// The sliders of the shown preset; the Auto state has none to show.
void CEqualiser::RefreshSliders() {
  if (!IsGainPreset(m_presetIndex)) return;
  const koral::PresetGains& gains = EqualiserTables::Shared().Working(m_presetIndex);
  const auto sliders = Sliders();
  for (size_t band = 0; band < sliders.size(); ++band) {
    const QSignalBlocker blocker(sliders[band]);
    sliders[band]->setValue(gains[band]);  // held at the nearest end when out of range
  }
  ShowSliderLabels();
}

void CEqualiser::EnterAutoState() {
  for (QSlider* slider : Sliders()) slider->hide();
  for (QLabel* label : ValueLabels()) label->clear();
}

void CEqualiser::ShowSliderLabels() {
  const auto sliders = Sliders();
  const auto labels = ValueLabels();
  for (size_t band = 0; band < sliders.size(); ++band) labels[band]->setText(QString::number(sliders[band]->value()));
}

// Without a usable layout or reading the page shows "?" and writes nothing.
void CEqualiser::SetGainsAvailable(bool available) {
  m_gainsAvailable = available;
  for (QWidget* control : {static_cast<QWidget*>(m_ui->presetCombo), static_cast<QWidget*>(m_ui->restoreFactoryButton),
                           static_cast<QWidget*>(m_ui->reloadPlayerButton), static_cast<QWidget*>(m_ui->saveButton),
                           static_cast<QWidget*>(m_ui->saveAndQuitButton)})
    control->setEnabled(available);
  for (QSlider* slider : Sliders()) slider->setEnabled(available);
}
