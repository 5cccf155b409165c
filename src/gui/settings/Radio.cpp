// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/Radio.h"

#include <algorithm>
#include <cmath>

#include <QCollator>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>

#include "core/config/FirmwareLayout.h"
#include "core/config/PrivateProfile.h"
#include "core/config/ProgramFolder.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/platform/PlayerDetection.h"
#include "core/settings/RadioFrequency.h"
#include "core/settings/RadioStations.h"
#include "gui/common/BackupRefusal.h"
#include "gui/common/FatalExit.h"
#include "gui/common/Prompt.h"
#include "gui/common/StoredOption.h"
#include "gui/settings/RadioStationList.h"
#include "ui_Radio.h"

namespace {

constexpr int kLastMemory = koral::kMaxRadios - 1;

QChar MemoryLetter(int memory) { return QChar(u'A' + memory); }

void ReportMissingStationsFile(QWidget* parent, const std::filesystem::path& radiosIni) {
  Prompt::Message(parent, QString::fromStdString(koral::RadioStationsUnreadableText(radiosIni)),
                  QStringLiteral("Fichier manquant"));
}

// Alphabetical without regard to case, accented letters among their own
// ("Évreux" with the E); names equal but for case keep a fixed order.
void SortCities(QStringList& names) {
  QCollator collator{QLocale(QLocale::French, QLocale::France)};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::sort(names.begin(), names.end(), [&collator](const QString& a, const QString& b) {
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
  });
}

// However little room the window leaves, a field shows a whole "108.0".
void KeepFrequencyReadable(QLineEdit* edit) {
  constexpr int kInnerMargins = 2 * 2 + 1;  // the line edit's own text margins and its cursor
  const QMargins textMargins = edit->textMargins();
  const QSize text(edit->fontMetrics().horizontalAdvance(QStringLiteral("000.0")) + kInnerMargins + textMargins.left() +
                       textMargins.right(),
                   edit->sizeHint().height());
  QStyleOptionFrame option;
  option.initFrom(edit);
  option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
  edit->setMinimumWidth(edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, edit).width());
}

// Two memories are the same when they write the same kHz.
bool SameMemory(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b) return a.has_value() == b.has_value();
  return std::lround(*a * 1000.0) == std::lround(*b * 1000.0);
}

}  // namespace

CRadio::CRadio(const koral::RunContext& context, QWidget* parent)
    : SettingsPage(parent), m_ui(std::make_unique<Ui::CRadio>()), m_context(context) {
  m_ui->setupUi(this);
  m_stations = new RadioStationList(m_ui->stationList);
  CollectMemoryControls();
  m_ui->memorySlider->setRange(0, kLastMemory);
  ConnectControls();
}

CRadio::~CRadio() {
  // The edits may still lose the focus while they are destroyed.
  for (QLineEdit* edit : m_frequencyEdits) edit->removeEventFilter(this);
}

// The lists fill with their signals blocked: choosing the remembered city
// is no choice of the user's.
void CRadio::Load() {
  m_configIni = koral::ConfigIniPath(m_context);
  m_radiosIni = koral::RadiosIniPath(m_context);
  FillCities();
  ReadLayout();
  ChooseRememberedCity();
  FillStations();
  m_playerRoot = koral::FindPlayerRoot(m_context);
  ReadRadiosKORAL();
}

bool CRadio::HoldsUnwrittenChanges() {
  TakeFocusedFrequency();
  if (!m_layout) return false;
  for (size_t memory = 0; memory < static_cast<size_t>(m_layout->count); ++memory)
    if (!SameMemory(m_memories[memory], m_written[memory])) return true;
  return false;
}

bool CRadio::SaveChanges() { return SaveRadios(); }

void CRadio::CollectMemoryControls() {
  for (int memory = 0; memory < koral::kMaxRadios; ++memory) {
    const QString letter = MemoryLetter(memory);
    m_frequencyEdits[static_cast<size_t>(memory)] = findChild<QLineEdit*>(QStringLiteral("frequencyEdit") + letter);
    m_stationNames[static_cast<size_t>(memory)] = findChild<QLabel*>(QStringLiteral("stationName") + letter);
    m_frequencyEdits[static_cast<size_t>(memory)]->installEventFilter(this);
    connect(m_frequencyEdits[static_cast<size_t>(memory)], &QLineEdit::returnPressed, this,
            [this, memory] { CheckFrequency(memory); });
    KeepFrequencyReadable(m_frequencyEdits[static_cast<size_t>(memory)]);
  }
}

void CRadio::ConnectControls() {
  connect(m_ui->cityCombo, &QComboBox::currentIndexChanged, this, &CRadio::OnCityChosen);
  connect(m_stations, &RadioStationList::doubleClicked, this, &CRadio::OnStationDoubleClicked);
  connect(m_ui->saveButton, &QPushButton::clicked, this, &CRadio::OnSave);
  connect(m_ui->saveAndQuitButton, &QPushButton::clicked, this, &CRadio::OnSaveAndQuit);
  connect(m_ui->quitButton, &QPushButton::clicked, this, &SettingsPage::quitWithoutSavingRequested);
}

void CRadio::ReadLayout() {
  m_firmwareVersion = koral::ReadFirmwareVersion(m_configIni);
  m_layout = koral::ReadRadioLayout(m_configIni, m_firmwareVersion);
}

// The city whose name equals the remembered one comes first (the same
// letter case before another); otherwise the first whose name begins with
// it, searched from the second entry on and round to the first.
void CRadio::ChooseRememberedCity() {
  const QString remembered = QString::fromStdString(koral::GetPrivateProfileString("radio", "ville", "", m_configIni));
  const QSignalBlocker blocker(m_ui->cityCombo);
  m_ui->cityCombo->setCurrentIndex(-1);
  const int count = m_ui->cityCombo->count();
  if (remembered.isEmpty() || count == 0) return;
  for (const auto flags : {Qt::MatchFixedString | Qt::MatchCaseSensitive, Qt::MatchFlags(Qt::MatchFixedString)}) {
    const int exact = m_ui->cityCombo->findText(remembered, flags);
    if (exact >= 0) return m_ui->cityCombo->setCurrentIndex(exact);
  }
  for (int step = 1; step <= count; ++step) {
    const int index = step % count;
    if (m_ui->cityCombo->itemText(index).startsWith(remembered, Qt::CaseInsensitive))
      return m_ui->cityCombo->setCurrentIndex(index);
  }
}

void CRadio::FillCities() {
  const auto cities = koral::ReadRadioStations(m_radiosIni);
  if (!cities) return ReportMissingStationsFile(this, m_radiosIni);
  QStringList names;
  for (const koral::RadioCity& city : *cities)
    if (!city.name.empty()) names.append(QString::fromStdString(city.name));
  SortCities(names);
  const QSignalBlocker blocker(m_ui->cityCombo);
  m_ui->cityCombo->addItems(names);
  m_ui->cityCombo->setCurrentIndex(-1);
}

void CRadio::FillStations() {
  const auto cities = koral::ReadRadioStations(m_radiosIni);
  if (!cities) return ReportMissingStationsFile(this, m_radiosIni);
  if (m_ui->cityCombo->currentIndex() < 0) return;
  const std::string chosen = m_ui->cityCombo->currentText().toStdString();
  const auto city = std::find_if(cities->begin(), cities->end(),
                                 [&chosen](const koral::RadioCity& entry) { return entry.name == chosen; });
  if (city != cities->end()) m_stations->Fill(city->stations);
}

void CRadio::ReadRadiosKORAL() {
  if (!m_layout) return DisableMemories();
  const auto status = koral::ReadRadioMemories(koral::RadioImagePath(m_playerRoot), *m_layout, m_memories);
  if (status != koral::ImagePassResult::kOk) {
    m_memories = {};
    // Any failure reads as a missing image here, as it always has.
    FailImagePass(this, QStringLiteral("CRadio::ReadRadiosKORAL"), koral::ImagePassResult::kImageNotOpened,
                  koral::ImageTransfer::kRead);
    return;
  }
  m_written = m_memories;
  for (int memory = 0; memory < m_layout->count; ++memory) {
    ShowFrequency(memory);
    ShowStationName(memory);
  }
}

// False when nothing could be written; the user has then been told.
bool CRadio::SaveRadios() {
  TakeFocusedFrequency();
  if (!m_layout) return false;
  const auto status = koral::WriteRadioMemories(koral::RadioImagePath(m_playerRoot), *m_layout, m_memories);
  if (status == koral::ImagePassResult::kImageNotOpened) {
    Prompt::Message(this,
                    QStringLiteral("Le fichier Settings.dat de l'Koral ne peut pas être ouvert : "
                                   "les mémoires radio n'ont pas été enregistrées."),
                    QStringLiteral("Erreur"));
    return false;
  }
  if (ReportRefusedWrite(this, status)) return false;
  if (status == koral::ImagePassResult::kTransferFailed) {
    Prompt::Message(this, QStringLiteral("L'écriture des mémoires radio sur l'Koral a échoué."),
                    QStringLiteral("Erreur"));
    return false;
  }
  m_written = m_memories;
  return true;
}

void CRadio::ShowFrequency(int memory) {
  const auto& megahertz = m_memories[static_cast<size_t>(memory)];
  m_frequencyEdits[static_cast<size_t>(memory)]->setText(
      megahertz ? QString::fromStdString(koral::FormatMemoryMegahertz(*megahertz)) : QString());
}

// A name too long for its label is clipped there and shown whole as its tip.
void CRadio::ShowStationName(int memory) {
  const auto& megahertz = m_memories[static_cast<size_t>(memory)];
  const QString name = megahertz ? m_stations->NameOnFrequency(*megahertz) : QString();
  QLabel* label = m_stationNames[static_cast<size_t>(memory)];
  label->setText(name);
  label->setToolTip(name);
  // Empty, a label would be read out under its group's title.
  const QString what = QStringLiteral("Station de la mémoire %1").arg(MemoryLetter(memory));
  label->setAccessibleName(name.isEmpty() ? what : what + QStringLiteral(" : ") + name);
}

// A frequency of the band becomes the memory's; anything else is refused.
// Either way the field then shows what a save writes.
void CRadio::CheckFrequency(int memory) {
  const auto megahertz =
      koral::ParseTypedMegahertz(m_frequencyEdits[static_cast<size_t>(memory)]->text().toStdString());
  if (megahertz) m_memories[static_cast<size_t>(memory)] = *megahertz;
  ShowFrequency(memory);
  if (megahertz) ShowStationName(memory);
}

void CRadio::StoreOptions() {
  if (m_ui->cityCombo->currentIndex() < 0) return;
  StoreOption("radio", "ville", m_ui->cityCombo->currentText().toStdString(), m_configIni);
}

bool CRadio::eventFilter(QObject* watched, QEvent* event) {
  const int memory = MemoryOfEdit(watched);
  if (memory >= 0 && event->type() == QEvent::FocusIn) m_ui->memorySlider->setValue(memory);
  if (memory >= 0 && event->type() == QEvent::FocusOut) CheckFrequency(memory);
  return SettingsPage::eventFilter(watched, event);
}

void CRadio::OnCityChosen() {
  m_stations->Clear();
  FillStations();
  for (int memory = 0; memory < koral::kMaxRadios; ++memory) ShowStationName(memory);
}

// The current memory takes the marked station; the slider then moves on so
// that the next double click fills the next memory.
void CRadio::OnStationDoubleClicked() {
  const auto megahertz = m_stations->MarkedFrequency();
  if (!megahertz || !m_layout) return;
  const int memory = CurrentMemory();
  m_memories[static_cast<size_t>(memory)] = *megahertz;
  ShowFrequency(memory);
  ShowStationName(memory);
  if (memory < kLastMemory) m_ui->memorySlider->setValue(memory + 1);
}

void CRadio::OnSave() { SaveRadios(); }

void CRadio::OnSaveAndQuit() {
  if (SaveRadios()) emit closeSheetRequested();
}

// A save reached by its accelerator, or a question asked from another
// window, leaves the focus in the edit field: the text typed there is taken
// over (or refused) before the memories are written or compared.
void CRadio::TakeFocusedFrequency() {
  const int memory = MemoryOfEdit(window()->focusWidget());
  if (memory >= 0) CheckFrequency(memory);
}

// The firmware's layout does not say where the memories lie: they are
// neither read nor written.
void CRadio::DisableMemories() {
  m_ui->memoriesGroup->setEnabled(false);
  m_ui->saveButton->setEnabled(false);
  m_ui->saveAndQuitButton->setEnabled(false);
}

int CRadio::CurrentMemory() const { return std::clamp(m_ui->memorySlider->value(), 0, kLastMemory); }

int CRadio::MemoryOfEdit(const QObject* edit) const {
  const auto found = std::find(m_frequencyEdits.begin(), m_frequencyEdits.end(), edit);
  return found == m_frequencyEdits.end() ? -1 : static_cast<int>(found - m_frequencyEdits.begin());
}
