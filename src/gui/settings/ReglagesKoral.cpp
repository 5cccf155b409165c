// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/ReglagesKoral.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/config/FirmwareLayout.h"
#include "core/config/ProgramFolder.h"
#include "core/files/Paths.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/platform/PlayerDetection.h"
#include "gui/common/BackupRefusal.h"
#include "gui/common/ButtonChoice.h"
#include "gui/common/FatalExit.h"
#include "gui/settings/LevelSpin.h"
#include "ui_ReglagesKoral.h"

using koral::PlayerSetting;
using koral::PlayerSettingKind;

namespace {

QString NameOf(PlayerSetting setting) { return QString::fromUtf8(koral::InfoOf(setting).name); }

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

// The image not opened names the operation with its parentheses, a failed
// transfer without; both passes say "lecture", as they always have.
void FailPass(QWidget* page, const char* operation, koral::ImagePassResult result) {
  const bool opened = result != koral::ImagePassResult::kImageNotOpened;
  const QString where =
      QStringLiteral("CReglagesKoral::%1%2").arg(QLatin1String(operation), QLatin1String(opened ? "" : "()"));
  FailImagePass(page, where, result, koral::ImageTransfer::kRead);
}

}  // namespace

CReglagesKoral::CReglagesKoral(const koral::RunContext& context, QWidget* parent)
    : SettingsPage(parent), m_ui(std::make_unique<Ui::CReglagesKoral>()), m_context(context) {
  m_ui->setupUi(this);
  FindControls();
  ConnectControls();
}

CReglagesKoral::~CReglagesKoral() = default;

void CReglagesKoral::Load() {
  m_playerRoot = koral::FindPlayerRoot(m_context);
  const auto configIni = koral::ConfigIniPath(m_context);
  m_layout = koral::ReadPlayerSettingsLayout(configIni, koral::ReadFirmwareVersion(configIni));
  ApplyLayout();
  DisableMissingSettings();
  ReadKORALValues();
  ResetChanges();
}

void CReglagesKoral::FindControls() {
  for (const koral::PlayerSettingInfo& info : koral::PlayerSettingInfos()) {
    const size_t index = koral::Index(info.id);
    if (info.kind == PlayerSettingKind::kContrastLevel || info.kind == PlayerSettingKind::kSoundLevel) {
      m_levelSpins[index] = findChild<LevelSpin*>(NameOf(info.id) + QStringLiteral("Spin"));
      continue;
    }
    if (info.kind != PlayerSettingKind::kChoice) continue;
    auto* group = new QButtonGroup(this);
    const auto& choices = koral::Choices(info.id, false);
    for (size_t i = 0; i < choices.size(); ++i)
      group->addButton(findChild<QRadioButton*>(NameOf(info.id) + QStringLiteral("Choice%1").arg(i)),
                       static_cast<int>(i));
    m_choiceGroups[index] = group;
  }
}

// Captions and hidden choices of the firmware version.
void CReglagesKoral::ApplyLayout() {
  const bool layout119 = m_layout.Is119();
  for (const koral::PlayerSettingInfo& info : koral::PlayerSettingInfos()) {
    QButtonGroup* group = m_choiceGroups[koral::Index(info.id)];
    if (group == nullptr) continue;
    const auto& choices = koral::Choices(info.id, layout119);
    for (size_t i = 0; i < choices.size(); ++i) {
      QAbstractButton* button = group->button(static_cast<int>(i));
      button->setText(ToQString(choices[i].label));
      button->setVisible(!choices[i].hidden);
    }
  }
  // "aucun" has no byte value for the player.
  m_ui->eclairageNoneChoice->hide();
  m_ui->srswowmodeactifCombo->clear();
  for (const koral::Choice& entry : koral::Choices(PlayerSetting::kSrsWowModeActif, layout119))
    m_ui->srswowmodeactifCombo->addItem(ToQString(entry.label));
}

// A setting the version section has no offset for is neither read nor written.
void CReglagesKoral::DisableMissingSettings() {
  for (const koral::PlayerSettingInfo& info : koral::PlayerSettingInfos())
    if (!m_layout.offsets[koral::Index(info.id)])
      findChild<QGroupBox*>(NameOf(info.id) + QStringLiteral("Frame"))->setEnabled(false);
}

void CReglagesKoral::ConnectControls() {
  for (const koral::PlayerSettingInfo& info : koral::PlayerSettingInfos()) {
    const PlayerSetting setting = info.id;
    if (QButtonGroup* group = m_choiceGroups[koral::Index(setting)])
      connect(group, &QButtonGroup::buttonClicked, this, [this, setting] { MarkChanged(setting); });
    if (LevelSpin* spin = m_levelSpins[koral::Index(setting)]) {
      connect(spin, &LevelSpin::stepped, this, [this, setting] { MarkChanged(setting); });
      connect(spin, &QSpinBox::valueChanged, this, [this, setting] { MarkChanged(setting); });
    }
  }
  connect(m_ui->srswowmodeactifCombo, &QComboBox::activated, this,
          [this] { MarkChanged(PlayerSetting::kSrsWowModeActif); });
  connect(m_ui->reloadButton, &QPushButton::clicked, this, &CReglagesKoral::ResetChanges);
  connect(m_ui->saveButton, &QPushButton::clicked, this, &CReglagesKoral::OnSave);
  connect(m_ui->saveAndQuitButton, &QPushButton::clicked, this, &CReglagesKoral::OnSaveAndQuit);
  connect(m_ui->quitButton, &QPushButton::clicked, this, &SettingsPage::quitWithoutSavingRequested);
}

std::string CReglagesKoral::ImagePath() const { return koral::SettingsImagePath(m_playerRoot.value_or("")); }

void CReglagesKoral::ReadKORALValues() {
  koral::PlayerSettingValues values{};
  // Without a player there is no image to open, never one in the working folder.
  const auto result =
      m_playerRoot ? koral::ReadPlayerSettings(ImagePath(), m_layout, values) : koral::ImagePassResult::kImageNotOpened;
  if (result != koral::ImagePassResult::kOk) return FailPass(this, "ReadKORALValues", result);
  m_written = values;
  ShowValues(values);
}

void CReglagesKoral::ShowValues(const koral::PlayerSettingValues& values) {
  for (const koral::PlayerSettingInfo& info : koral::PlayerSettingInfos()) {
    const auto& value = values[koral::Index(info.id)];
    if (m_choiceGroups[koral::Index(info.id)] != nullptr) ShowChoice(info.id, value);
    LevelSpin* spin = m_levelSpins[koral::Index(info.id)];
    if (spin != nullptr && value) {
      const QSignalBlocker blocker(spin);
      spin->setValue(*value);
    }
  }
  // A mode byte beyond the list shows its last entry.
  if (const auto& mode = values[koral::Index(PlayerSetting::kSrsWowModeActif)])
    m_ui->srswowmodeactifCombo->setCurrentIndex(std::min(*mode, m_ui->srswowmodeactifCombo->count() - 1));
}

// A byte that names no visible choice leaves the group without a selection.
void CReglagesKoral::ShowChoice(PlayerSetting setting, std::optional<int> value) {
  const bool shown = value && koral::LabelOf(setting, m_layout.Is119(), *value);
  ShowCheckedChoice(m_choiceGroups[koral::Index(setting)], shown ? *value : -1);
}

koral::PlayerSettingValues CReglagesKoral::TakeValues() const {
  koral::PlayerSettingValues values{};
  for (const koral::PlayerSettingInfo& info : koral::PlayerSettingInfos()) {
    const size_t index = koral::Index(info.id);
    if (const QButtonGroup* group = m_choiceGroups[index]; group != nullptr && group->checkedId() >= 0)
      values[index] = group->checkedId();
    if (const LevelSpin* spin = m_levelSpins[index]) values[index] = spin->value();
  }
  if (m_ui->srswowmodeactifCombo->currentIndex() >= 0)
    values[koral::Index(PlayerSetting::kSrsWowModeActif)] = m_ui->srswowmodeactifCombo->currentIndex();
  return values;
}

bool CReglagesKoral::EnregistreReglages() {
  const koral::PlayerSettingValues values = TakeValues();
  const auto result = m_playerRoot ? koral::WritePlayerSettings(ImagePath(), m_layout, values, m_changed)
                                   : koral::ImagePassResult::kImageNotOpened;
  if (result == koral::ImagePassResult::kOk) {
    for (size_t index = 0; index < values.size(); ++index)
      if (m_changed[index]) m_written[index] = values[index];
    return true;
  }
  if (!ReportRefusedWrite(this, result)) FailPass(this, "EnregistreReglages", result);
  return false;
}

void CReglagesKoral::ResetChanges() { m_changed.fill(false); }

// Only what a save would write counts: a changed setting whose value is not
// the player's. A choice clicked and clicked back is no change, nor is
// anything after "Recharger les réglages".
bool CReglagesKoral::HoldsUnwrittenChanges() {
  if (auto* spin = qobject_cast<LevelSpin*>(focusWidget())) spin->interpretText();
  const koral::PlayerSettingValues values = TakeValues();
  for (size_t index = 0; index < values.size(); ++index)
    if (m_changed[index] && m_layout.offsets[index] && values[index] != m_written[index]) return true;
  return false;
}

bool CReglagesKoral::SaveChanges() {
  if (!EnregistreReglages()) return false;
  ResetChanges();
  return true;
}

void CReglagesKoral::MarkChanged(PlayerSetting setting) { m_changed[koral::Index(setting)] = true; }

void CReglagesKoral::OnSave() { SaveChanges(); }

void CReglagesKoral::OnSaveAndQuit() {
  if (SaveChanges()) emit closeSheetRequested();
}
