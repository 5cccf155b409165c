// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/MainDlg.h"

#include <array>
#include <filesystem>
#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QMessageBox>
#include <QPointer>

#include "core/config/PrivateProfile.h"
#include "core/config/ProgramFolder.h"
#include "core/copy/CopyLeftovers.h"
#include "core/platform/PlayerDetection.h"
#include "gui/app/AboutDlg.h"
#include "gui/app/ConvertOption.h"
#include "gui/app/FolderPane.h"
#include "gui/app/RemovalCount.h"
#include "gui/common/ButtonChoice.h"
#include "gui/common/EnterKeys.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "gui/common/StoredOption.h"
#include "gui/common/WindowPlacement.h"
#include "gui/files/FileOp.h"
#include "gui/firmware/SoftPropDlg.h"
#include "gui/settings/Onglets.h"
#include "ui_MainDlg.h"

namespace {

constexpr int kDriveRole = Qt::UserRole;

// The longest mount point that holds the folder.
std::string DriveOf(const std::string& folder, const std::vector<std::string>& drives) {
  std::string best;
  for (const std::string& root : drives) {
    const bool holds = folder == root || root == "/" || folder.starts_with(root + "/");
    if (holds && root.size() > best.size()) best = root;
  }
  return best;
}

std::string HomeFolder() { return PathToStd(QDir::homePath()); }

// Guarded: closing one sheet may free others' pop-ups among the top-level widgets.
QList<QPointer<COnglets>> OpenSheets() {
  QList<QPointer<COnglets>> sheets;
  for (QWidget* topLevel : QApplication::topLevelWidgets())
    if (auto* sheet = qobject_cast<COnglets*>(topLevel); sheet != nullptr && sheet->isVisible()) sheets << sheet;
  return sheets;
}

}  // namespace

CMainDlg::CMainDlg(koral::RunContext& context, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CMainDlg>()), m_context(context) {
  m_ui->setupUi(this);
  CreatePanes();
  setWindowIcon(QIcon(QStringLiteral(":/icons/koral-config.png")));
  setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
  auto* modes = new QButtonGroup(this);
  modes->addButton(m_ui->addNumberRadio, 0);
  modes->addButton(m_ui->numberOnlyRadio, 1);
  m_convertOption = new CConvertOption(m_ui->convertCheck, m_ui->convertRateCombo, m_context, this);
  // A click leaves the keyboard where it was, in a list as a rule: a later
  // Enter never repeats a click on a button, nor reaches a box just ticked.
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) button->setFocusPolicy(Qt::TabFocus);
  KeepEnterOnFocusedButtons(this);
  m_removalCount = new CRemovalCount(this);
  ConnectSignals();
  OnInitDialog();
}

CMainDlg::~CMainDlg() {
  if (m_ejectWorker.joinable()) m_ejectWorker.join();
  SaveOptions();
}

QString CMainDlg::ComputerFolder() const { return PathFromStd(m_computerPane->Folder()); }
QString CMainDlg::PlayerFolder() const { return PathFromStd(m_playerPane->Folder()); }
QString CMainDlg::PlayerRoot() const { return PathFromStd(m_playerRoot); }

void CMainDlg::ConnectSignals() {
  connect(m_ui->quitButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_ui->followPlaylistCheck, &QCheckBox::clicked, this, &CMainDlg::OnFollowPlaylistToggled);
  connect(m_ui->settingsButton, &QPushButton::clicked, this, &CMainDlg::OnOpenSettings);
  connect(m_ui->firmwareButton, &QPushButton::clicked, this, &CMainDlg::OnOpenFirmware);
  connect(m_ui->aboutButton, &QToolButton::clicked, this, &CMainDlg::OnAbout);
  connect(m_ui->copyButton, &QPushButton::clicked, this, &CMainDlg::OnCopyToPlayer);
  connect(m_ui->deleteButton, &QPushButton::clicked, this, &CMainDlg::OnDeleteFromPlayer);
  connect(m_ui->emptyButton, &QPushButton::clicked, this, &CMainDlg::OnEmptyPlayer);
  connect(m_ui->ejectButton, &QPushButton::clicked, this, &CMainDlg::OnEjectPlayer);
  connect(m_ui->driveCombo, &QComboBox::activated, this, &CMainDlg::OnDriveChanged);
  m_createDirectoryAction = new QAction(QStringLiteral("Créer un répertoire"), this);
  m_createDirectoryAction->setObjectName(QStringLiteral("createDirectoryAction"));
  connect(m_createDirectoryAction, &QAction::triggered, this, &CMainDlg::OnCreateDirectory);
}

void CMainDlg::OnInitDialog() {
  m_playerFound = false;
  m_configPath = koral::ConfigIniPath(m_context).string();
  ReadOptions();
  ShowMembers();
  // Also for a value other than 0 or 1 in the file: the radios follow the box as shown.
  OnFollowPlaylistToggled();
  SetUpLists();
  WindowPlacement::Place(*this, m_savedGeometry, PreferredSize());
  const std::string keptFolder = m_computerPane->Folder();
  DetectPlayer();
  const std::string& shown = m_computerPane->Folder();
  const std::string listedDrive = shown != keptFolder ? shown : std::string();
  m_computerPane->SetFolder(keptFolder);
  if (!m_playerFound) TellPlayerMissing();
  if (!m_computerPane->OpenFolder(nullptr)) {
    // The stored folder has vanished: the folder must be what the list shows,
    // or every operation would work on entries of another folder.
    m_computerPane->SetFolder(listedDrive.empty() ? HomeFolder() : listedDrive);
    m_computerPane->OpenFolder(nullptr);
  }
  if (m_playerFound) m_playerPane->ListDriveRoot(m_playerRoot);
  WatchMountTable();
}

void CMainDlg::TellPlayerMissing() {
  const QString disabled = QStringLiteral("\n Des fonctionnalités du logiciel vont être désactivées");
  // A mistyped --player names a folder: saying which one lets the user see the typo.
  const QString text = m_missingNamedPlayer.empty()
                           ? QStringLiteral("L'Koral n'a pas été détecté.") + disabled
                           : QStringLiteral("L'Koral n'a pas été trouvé : le dossier '%1' n'existe pas.")
                                     .arg(PathFromStd(m_missingNamedPlayer)) +
                                 disabled;
  Prompt::Message(this, text, QStringLiteral("Koral manquant"));
  SetPlayerControlsEnabled(false);
}

void CMainDlg::ReadOptions() {
  std::string folder = koral::GetPrivateProfileString("repertoires", "pc", "", m_configPath);
  // A first run starts in the user's home rather than at the file system's root.
  if (folder.empty()) folder = HomeFolder();
  m_computerPane->SetFolder(std::move(folder));
  m_followPlaylist = koral::GetPrivateProfileInt("copie", "suivrem3u", m_configPath);
  m_win98 = koral::GetPrivateProfileInt("copie", "win98", m_configPath);
  m_copyMode = koral::GetPrivateProfileInt("copie", "trackonly", m_configPath);
  m_convertOption->Read(m_configPath);
  m_savedGeometry = WindowPlacement::Read("", m_configPath);
}

void CMainDlg::SaveOptions() {
  TakeControls();
  // A folder whose path is not UTF-8 is refused there: the one stored before stays.
  StoreOption("repertoires", "pc", m_computerPane->Folder(), m_configPath);
  StoreOption("copie", "suivrem3u", m_followPlaylist, m_configPath);
  StoreOption("copie", "win98", m_win98, m_configPath);
  StoreOption("copie", "trackonly", m_copyMode, m_configPath);
  m_convertOption->Save(m_configPath);
  WindowPlacement::Write(*this, "", m_configPath);
}

void CMainDlg::ShowMembers() {
  m_ui->followPlaylistCheck->setChecked(m_followPlaylist == 1);
  m_ui->win98Check->setChecked(m_win98 == 1);
  ShowCheckedChoice(m_ui->addNumberRadio->group(), m_copyMode);
  m_ui->driveCombo->setCurrentIndex(m_driveIndex);
}

void CMainDlg::TakeControls() {
  m_followPlaylist = m_ui->followPlaylistCheck->isChecked() ? 1 : 0;
  m_win98 = m_ui->win98Check->isChecked() ? 1 : 0;
  m_copyMode = m_ui->addNumberRadio->group()->checkedId();
  m_driveIndex = m_ui->driveCombo->currentIndex();
}

void CMainDlg::DetectPlayer() {
  const koral::DriveScan scan = koral::DetectDrives(m_context);
  FillDriveCombo(scan.computerDrives);
  m_ui->driveCombo->setCurrentIndex(m_driveIndex);
  std::error_code error;
  if (scan.playerRoot && m_context.PlayerIsNamed() && !std::filesystem::is_directory(*scan.playerRoot, error)) {
    m_missingNamedPlayer = *scan.playerRoot;
  } else if (scan.playerRoot) {
    m_playerRoot = *scan.playerRoot;
    m_playerPane->SetFloor(m_playerRoot);
    m_playerFound = true;
    koral::RemoveDeadCopyRuns(m_playerRoot);  // what a killed copy left; a running one keeps its own
    m_ui->playerDriveLabel->SetFullText(PathFromStd(m_playerRoot));
  }
  if (m_computerPane->Folder().empty()) return;
  const std::string drive = DriveOf(m_computerPane->Folder(), scan.computerDrives);
  if (drive.empty()) return;
  m_computerPane->ListDriveRoot(drive);
  m_ui->driveCombo->setCurrentIndex(m_ui->driveCombo->findData(QByteArray::fromStdString(drive), kDriveRole));
  TakeControls();
}

void CMainDlg::FillDriveCombo(const std::vector<std::string>& drives) {
  const QVariant shown = m_ui->driveCombo->currentData(kDriveRole);
  m_ui->driveCombo->clear();
  for (const std::string& drive : drives)
    m_ui->driveCombo->addItem(PathFromStd(drive), QByteArray::fromStdString(drive));
  m_ui->driveCombo->setCurrentIndex(m_ui->driveCombo->findData(shown, kDriveRole));
}

void CMainDlg::OnFollowPlaylistToggled() {
  TakeControls();
  const bool enabled = m_followPlaylist != 0;
  m_ui->addNumberRadio->setEnabled(enabled);
  m_ui->numberOnlyRadio->setEnabled(enabled);
  ShowMembers();
}

void CMainDlg::OnOpenSettings() {
  TakeControls();
  auto* sheet = new COnglets(m_context);
  sheet->show();
}

void CMainDlg::OnOpenFirmware() {
  TakeControls();
  CSoftPropDlg dialog(m_context, this);
  dialog.Load();
  dialog.exec();
}

void CMainDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CMainDlg::done(int result) {
  if (m_closingSheets || !MayCloseSheets()) return;
  QDialog::done(result);
}

// One question per sheet holding changes; each sheet answered for closes at
// once, the one answered "Annuler" and those after it stay.
bool CMainDlg::MayCloseSheets() {
  m_closingSheets = true;
  for (const QPointer<COnglets>& sheet : OpenSheets()) {
    if (sheet.isNull()) continue;
    const bool mayClose = m_closingWithoutQuestions || sheet->MayClose();
    // Told to end while the question was open, the window ends whatever its answer.
    if (!mayClose && !m_closingWithoutQuestions) {
      m_closingSheets = false;
      return false;
    }
    if (!sheet.isNull()) sheet->CloseWithoutQuestions();
  }
  m_closingSheets = false;
  return true;
}

// The window's loops end with it; the copy's dialog waits for its worker
// before it lets its own loop go.
void CMainDlg::CloseWithoutQuestions() {
  m_closingWithoutQuestions = true;
  if (m_fileOp != nullptr) m_fileOp->Cancel();
  Prompt::DiscardOpenSaveQuestion();
  // A question of this window (a delete, the copy's stop) takes the answer of its Escape.
  for (QMessageBox* box : findChildren<QMessageBox*>()) box->reject();
  for (CSoftPropDlg* dialog : findChildren<CSoftPropDlg*>()) dialog->CloseWithoutQuestions();
  // Within the sheets' questions, their loop ends the window once the open one is answered.
  if (m_closingSheets) return;
  for (const QPointer<COnglets>& sheet : OpenSheets())
    if (!sheet.isNull()) sheet->CloseWithoutQuestions();
  QDialog::done(QDialog::Rejected);
}
