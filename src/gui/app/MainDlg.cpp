#include "app/MainDlg.h"

#include <array>

#include <QAction>
#include <QButtonGroup>
#include <QDir>

#include "app/AboutDlg.h"
#include "common/ButtonChoice.h"
#include "common/PathText.h"
#include "common/Prompt.h"
#include "config/PrivateProfile.h"
#include "config/ProgramFolder.h"
#include "firmware/SoftPropDlg.h"
#include "platform/PlayerDetection.h"
#include "settings/Onglets.h"
#include "ui_MainDlg.h"

namespace {

// The longest mount point that holds the folder.
QString DriveOf(const QString& folder, const std::vector<std::string>& drives) {
  QString best;
  for (const std::string& drive : drives) {
    const QString root = PathFromStd(drive);
    const bool holds = folder == root || root == "/" || folder.startsWith(root + "/");
    if (holds && root.size() > best.size()) best = root;
  }
  return best;
}

}  // namespace

CMainDlg::CMainDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CMainDlg>()) {
  m_ui->setupUi(this);
  setWindowIcon(QIcon(QStringLiteral(":/icons/koral-config.png")));
  setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);
  auto* modes = new QButtonGroup(this);
  modes->addButton(m_ui->addNumberRadio, 0);
  modes->addButton(m_ui->numberOnlyRadio, 1);
  ConnectSignals();
  OnInitDialog();
}

CMainDlg::~CMainDlg() { SaveOptions(); }

void CMainDlg::ConnectSignals() {
  connect(m_ui->quitButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_ui->followPlaylistCheck, &QCheckBox::clicked, this, &CMainDlg::OnFollowPlaylistToggled);
  connect(m_ui->settingsButton, &QPushButton::clicked, this, &CMainDlg::OnOpenSettings);
  connect(m_ui->firmwareButton, &QPushButton::clicked, this, &CMainDlg::OnOpenFirmware);
  connect(m_ui->aboutButton, &QToolButton::clicked, this, &CMainDlg::OnAbout);
  connect(m_ui->copyButton, &QPushButton::clicked, this, &CMainDlg::OnCopyToPlayer);
  connect(m_ui->deleteButton, &QPushButton::clicked, this, &CMainDlg::OnDeleteFromPlayer);
  connect(m_ui->emptyButton, &QPushButton::clicked, this, &CMainDlg::OnEmptyPlayer);
  connect(m_ui->driveCombo, &QComboBox::activated, this, &CMainDlg::OnDriveChanged);
  m_createDirectoryAction = new QAction(QStringLiteral("Créer un répertoire"), this);
  m_createDirectoryAction->setObjectName(QStringLiteral("createDirectoryAction"));
  connect(m_createDirectoryAction, &QAction::triggered, this, &CMainDlg::OnCreateDirectory);
}

void CMainDlg::OnInitDialog() {
  m_playerFound = false;
  m_configPath = PathFromStd(koral::ConfigIniPath().string());
  ReadOptions();
  ShowMembers();
  // Also for a value other than 0 or 1 in the file: the radios follow the box as shown.
  OnFollowPlaylistToggled();
  SetUpLists();
  const QString keptFolder = m_computerFolder;
  DetectPlayer();
  const QString listedDrive = m_computerFolder != keptFolder ? m_computerFolder : QString();
  m_computerFolder = keptFolder;
  if (!m_playerFound) {
    Prompt::Message(this,
                    QStringLiteral("L'Koral n'a pas été détecté.\n Des fonctionnalités du logiciel vont être "
                                   "désactivées"),
                    QStringLiteral("Koral manquant"));
    DisablePlayerControls();
  }
  if (!OpenFolder(m_ui->computerList, nullptr)) {
    // The stored folder has vanished: the folder must be what the list shows,
    // or every operation would work on entries of another folder.
    m_computerFolder = listedDrive.isEmpty() ? QDir::homePath() : listedDrive;
    OpenFolder(m_ui->computerList, nullptr);
  }
  ListDriveRoot(m_ui->playerList, m_playerRoot);
}

void CMainDlg::ReadOptions() {
  const std::string config = PathToStd(m_configPath);
  m_computerFolder = QString::fromStdString(koral::GetPrivateProfileString("repertoires", "pc", "", config));
  // A first run starts in the user's home rather than at the file system's root.
  if (m_computerFolder.isEmpty()) m_computerFolder = QDir::homePath();
  m_followPlaylist = koral::GetPrivateProfileInt("copie", "suivrem3u", config);
  m_win98 = koral::GetPrivateProfileInt("copie", "win98", config);
  m_copyMode = koral::GetPrivateProfileInt("copie", "trackonly", config);
}

void CMainDlg::SaveOptions() {
  TakeControls();
  const std::string config = PathToStd(m_configPath);
  koral::WritePrivateProfileString("repertoires", "pc", PathToStd(m_computerFolder), config);
  koral::WritePrivateProfileInt("copie", "suivrem3u", m_followPlaylist, config);
  koral::WritePrivateProfileInt("copie", "win98", m_win98, config);
  koral::WritePrivateProfileInt("copie", "trackonly", m_copyMode, config);
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
  const koral::DriveScan scan = koral::DetectDrives();
  m_ui->driveCombo->clear();
  for (const std::string& drive : scan.computerDrives) m_ui->driveCombo->addItem(PathFromStd(drive));
  m_ui->driveCombo->setCurrentIndex(m_driveIndex);
  if (scan.playerRoot) {
    m_playerRoot = PathFromStd(*scan.playerRoot);
    m_playerFound = true;
    m_ui->playerDriveLabel->SetFullText(m_playerRoot);
  }
  if (m_computerFolder.isEmpty()) return;
  const QString drive = DriveOf(m_computerFolder, scan.computerDrives);
  if (drive.isEmpty()) return;
  ListDriveRoot(m_ui->computerList, drive);
  m_ui->driveCombo->setCurrentIndex(m_ui->driveCombo->findText(drive));
  TakeControls();
}

void CMainDlg::DisablePlayerControls() {
  const std::array<QWidget*, 6> controls{m_ui->playerList,  m_ui->settingsButton, m_ui->firmwareButton,
                                         m_ui->copyButton,  m_ui->deleteButton,   m_ui->emptyButton};
  for (QWidget* control : controls) control->setEnabled(false);
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
  auto* sheet = new COnglets();
  sheet->show();
}

void CMainDlg::OnOpenFirmware() {
  TakeControls();
  CSoftPropDlg dialog(this);
  dialog.exec();
}

void CMainDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}
