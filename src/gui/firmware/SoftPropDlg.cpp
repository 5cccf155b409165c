// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/firmware/SoftPropDlg.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include "core/config/PrivateProfile.h"
#include "core/config/ProgramFolder.h"
#include "core/firmware/FirmwareVersions.h"
#include "core/platform/PlayerDetection.h"
#include "gui/common/BackupRefusal.h"
#include "gui/common/FatalExit.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "ui_SoftPropDlg.h"

namespace {

const QString kProfileFilter = QStringLiteral("Profils (*.pro)");
const QString kProfileSuffix = QStringLiteral("pro");
const QString kDialogTitle = QStringLiteral("Firmware et profils");

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// Any failure of a profile's pass reads as a missing image, as it always has.
void FailProfilePass(QWidget* dialog, const char* operation) {
  FailImagePass(dialog, QStringLiteral("CSoftPropDlg::%1()").arg(QLatin1String(operation)),
                koral::ImagePassResult::kImageNotOpened, koral::ImageTransfer::kRead);
}

}  // namespace

CSoftPropDlg::CSoftPropDlg(const koral::RunContext& context, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CSoftPropDlg>()), m_context(context) {
  m_ui->setupUi(this);
  connect(m_ui->saveVersionButton, &QPushButton::clicked, this, &CSoftPropDlg::OnSaveVersion);
  connect(m_ui->saveVersionAndQuitButton, &QPushButton::clicked, this, &CSoftPropDlg::OnSaveVersionAndQuit);
  connect(m_ui->quitButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_ui->saveProfileButton, &QPushButton::clicked, this, &CSoftPropDlg::OnButtonsauverprofil);
  connect(m_ui->loadProfileButton, &QPushButton::clicked, this, &CSoftPropDlg::OnButtonchargerprofil);
  connect(m_ui->versionCombo->lineEdit(), &QLineEdit::returnPressed, this, &CSoftPropDlg::CommitTypedVersion);
}

CSoftPropDlg::~CSoftPropDlg() = default;

void CSoftPropDlg::Load() {
  m_configIni = koral::ConfigIniPath(m_context);
  m_profileFolder = FromUtf8(koral::GetPrivateProfileString("repertoires", "profil", "", m_configIni));
  m_currentVersion = koral::GetPrivateProfileString("firmware", "version", "", m_configIni);
  m_availableVersions = koral::GetPrivateProfileString("firmware", "versionsdispo", "", m_configIni);
  m_playerRoot = koral::FindPlayerRoot(m_context);
  FillVersionList();
}

void CSoftPropDlg::FillVersionList() {
  if (m_availableVersions.empty()) {
    Prompt::Message(
        this, QStringLiteral("Aucun firmware n'est disponible.\n Il ne fallait pas trafiquer le fichier Config.ini"),
        QStringLiteral("Erreur de firmware"));
    return;
  }
  const auto entries = koral::SortVersionsForList(koral::SplitAvailableVersions(m_availableVersions));
  for (const std::string& entry : entries) m_ui->versionCombo->addItem(FromUtf8(entry));
  const auto current = koral::FindCurrentVersionEntry(entries, m_currentVersion);
  m_ui->versionCombo->setCurrentIndex(current ? static_cast<int>(*current) : -1);
  if (!current) m_ui->versionCombo->setEditText(QString());
}

std::optional<std::string> CSoftPropDlg::SelectedVersion() {
  const QString text = m_ui->versionCombo->currentText();
  if (!text.isEmpty() && m_ui->versionCombo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
    return text.toStdString();
  Prompt::Message(
      this, QStringLiteral("Aucune version de firmware n'est sélectionnée.\nChoisissez une version dans la liste."),
      kDialogTitle);
  return std::nullopt;
}

bool CSoftPropDlg::SaveVersion() {
  const auto version = SelectedVersion();
  if (!version) return false;
  const koral::FileWriteStatus status = koral::SaveFirmwareVersion(m_configIni, *version);
  if (status == koral::FileWriteStatus::kWritten) {
    m_currentVersion = *version;
    return true;
  }
  const QString text =
      status == koral::FileWriteStatus::kReadOnly
          ? FromUtf8(koral::UnwrittenOptionsText({m_configIni, status}))
          : QStringLiteral("Le fichier Config.ini ne peut pas être écrit : la version n'a pas été enregistrée.");
  Prompt::Message(this, text, kDialogTitle);
  return false;
}

void CSoftPropDlg::CommitTypedVersion() {
  QComboBox* combo = m_ui->versionCombo;
  const int typed = combo->currentText().isEmpty() ? -1 : combo->findText(combo->currentText(), Qt::MatchFixedString);
  if (typed >= 0) combo->setCurrentIndex(typed);
  combo->setEditText(combo->currentIndex() >= 0 ? combo->itemText(combo->currentIndex()) : QString());
}

bool CSoftPropDlg::HoldsUnwrittenChanges() {
  CommitTypedVersion();
  const int shown = m_ui->versionCombo->currentIndex();
  return shown >= 0 && m_ui->versionCombo->itemText(shown).toStdString() != m_currentVersion;
}

bool CSoftPropDlg::MayClose() {
  if (m_asking) return false;
  if (m_closingWithoutQuestions || !HoldsUnwrittenChanges()) return true;
  QPointer<CSoftPropDlg> self(this);
  m_asking = true;
  const Prompt::SaveChoice choice =
      Prompt::SaveQuestion(this, QStringLiteral("Enregistrer les modifications sur l'Koral ?"), kDialogTitle);
  if (self.isNull()) return false;
  m_asking = false;
  if (m_closingWithoutQuestions || choice == Prompt::SaveChoice::kDiscard) return true;
  return choice == Prompt::SaveChoice::kSave && SaveVersion();
}

void CSoftPropDlg::CloseWithoutQuestions() {
  m_closingWithoutQuestions = true;
  if (m_asking) return Prompt::DiscardOpenSaveQuestion();
  QDialog::reject();
}

void CSoftPropDlg::reject() {
  if (MayClose()) QDialog::reject();
}

void CSoftPropDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return event->accept();
  QDialog::keyPressEvent(event);
}

void CSoftPropDlg::OnSaveVersion() { SaveVersion(); }

void CSoftPropDlg::OnSaveVersionAndQuit() {
  if (SaveVersion()) accept();
}

void CSoftPropDlg::OnButtonsauverprofil() {
  const auto version = SelectedVersion();
  if (!version) return;
  const QString file = Prompt::SaveFileName(this, QStringLiteral("Sauver le profil courant (lu sur l'Koral)"),
                                            m_profileFolder, kProfileFilter, kProfileSuffix);
  if (file.isEmpty()) return;
  const auto result = koral::SaveProfile(m_configIni, *version, m_playerRoot, PathToStd(file));
  if (result.pass != koral::ImagePassResult::kOk) return FailProfilePass(this, "OnButtonsauverprofil");
  ShowIssues(result, *version, QStringLiteral("Sauver le profil"));
  if (!result.profileWritten)
    Prompt::Message(this, QStringLiteral("Le fichier de profil ne peut pas être créé :\n%1").arg(file),
                    QStringLiteral("Sauver le profil"));
}

void CSoftPropDlg::OnButtonchargerprofil() {
  const auto version = SelectedVersion();
  if (!version) return;
  const QString file =
      Prompt::OpenFileName(this, QStringLiteral("Ouvrir un profil existant (sauvé directement dans l'Koral)"),
                           m_profileFolder, kProfileFilter);
  if (file.isEmpty()) return;
  const auto result = koral::LoadProfile(m_configIni, *version, m_playerRoot, PathToStd(file));
  if (ReportRefusedWrite(this, result.pass)) return;
  if (result.pass != koral::ImagePassResult::kOk) return FailProfilePass(this, "OnButtonchargerprofil");
  ShowLoadResult(result, *version);
}

// What was loaded, after whatever was left out: a load that went through is
// told too, so that the user knows the player changed.
void CSoftPropDlg::ShowLoadResult(const koral::ProfileOperationResult& result, const std::string& version) {
  const QString title = QStringLiteral("Charger le profil");
  QStringList lines;
  for (const auto& issue : result.issues) lines << FromUtf8(koral::DescribeProfileIssue(issue, version));
  if (result.profileRefused) return Prompt::Message(this, lines.join(QLatin1Char('\n')), title);
  lines << FromUtf8(koral::DescribeLoadedProfile(result));
  if (result.issues.empty()) Prompt::Information(this, lines.front(), title);
  else Prompt::Message(this, lines.join(QLatin1Char('\n')), title);
}

void CSoftPropDlg::ShowIssues(const koral::ProfileOperationResult& result, const std::string& version,
                              const QString& title) {
  if (result.issues.empty()) return;
  QStringList lines;
  for (const auto& issue : result.issues) lines << FromUtf8(koral::DescribeProfileIssue(issue, version));
  Prompt::Message(this, lines.join(QLatin1Char('\n')), title);
}
