// SPDX-License-Identifier: GPL-3.0-or-later
#include <array>
#include <filesystem>
#include <utility>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "core/copy/CopyLeftovers.h"
#include "core/platform/PlayerDetection.h"
#include "eject/UDisksService.h"
#include "gui/app/FolderPane.h"
#include "gui/app/MainDlg.h"
#include "gui/app/RemovalCount.h"
#include "gui/common/ElidedLabel.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "gui/files/FileOp.h"
#include "ui_MainDlg.h"

namespace {

constexpr int kMountTablePollMs = 500;  // a table that cannot signal (a test's) is compared this often
const QString kEjectTitle = QStringLiteral("Éjecter l'Koral");

}  // namespace

void CMainDlg::WatchMountTable() {
  if (m_context.PlayerIsNamed()) return;  // a player named on the command line stays for the whole run
  m_mountWatch = std::make_unique<koral::MountTableWatch>(m_context.mountTable);
  if (const int descriptor = m_mountWatch->SignalDescriptor(); descriptor >= 0) {
    auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Exception, this);
    connect(notifier, &QSocketNotifier::activated, this, &CMainDlg::OnMountTableSignal);
    return;
  }
  auto* timer = new QTimer(this);
  connect(timer, &QTimer::timeout, this, &CMainDlg::OnMountTableSignal);
  timer->start(kMountTablePollMs);
}

bool CMainDlg::IsBusyWithPlayer() const {
  return (m_fileOp != nullptr && m_fileOp->IsCopying()) || m_ejectWorker.joinable() || m_removalCount->Running();
}

void CMainDlg::OnMountTableSignal() {
  // A player named by a later start stays, as one named at start-up.
  if (!m_mountWatch->Changed() || m_context.PlayerIsNamed()) return;
  // A running copy reports its own failures; the list follows once it is over.
  if (IsBusyWithPlayer()) {
    m_rescanPending = true;
    return;
  }
  RescanPlayer();
}

// The same rule as at start-up, run again when volumes come and go.
void CMainDlg::RescanPlayer() {
  m_rescanPending = false;
  const koral::DriveScan scan = koral::DetectDrives(m_context);
  FillDriveCombo(scan.computerDrives);
  if (m_playerFound && scan.playerRoot == m_playerRoot) return;
  if (m_playerFound) OnPlayerGone(true);
  if (scan.playerRoot) OnPlayerArrived(*scan.playerRoot);
}

void CMainDlg::OnPlayerArrived(const std::string& root) {
  koral::RemoveDeadCopyRuns(root);  // what a killed copy left; a running one keeps its own
  m_playerRoot = root;
  m_playerPane->SetFloor(root);
  m_playerFound = true;
  m_ui->playerDriveLabel->SetFullText(PathFromStd(root));
  SetPlayerControlsEnabled(true);
  m_playerPane->ListDriveRoot(root);
}

void CMainDlg::OnPlayerGone(bool tellUser) {
  m_playerFound = false;
  m_playerRoot.clear();
  m_playerPane->Clear();  // its floor too
  m_ui->playerDriveLabel->SetFullText({});
  SetPlayerControlsEnabled(false);
  if (tellUser)
    Prompt::Message(this,
                    QStringLiteral("L'Koral a été débranché.\n Les fonctionnalités qui en ont besoin sont désactivées "
                                   "jusqu'à son retour."),
                    QStringLiteral("Koral manquant"));
}

void CMainDlg::SetPlayerControlsEnabled(bool enabled) {
  const std::array<QWidget*, 7> controls{m_ui->playerList, m_ui->settingsButton, m_ui->firmwareButton,
                                         m_ui->copyButton, m_ui->deleteButton,   m_ui->emptyButton,
                                         m_ui->ejectButton};
  for (QWidget* control : controls) control->setEnabled(enabled);
}

// The sync and the service's answers may take seconds: they run on a worker
// while the window stays drawn, every control of the player off.
void CMainDlg::OnEjectPlayer() {
  if (!m_playerFound || IsBusyWithPlayer()) return;
  SetPlayerControlsEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_ejectWorker = std::thread([this, root = m_playerRoot] {
    CUDisksService service;
    const koral::EjectResult result = koral::EjectPlayer(root, service);
    QMetaObject::invokeMethod(
        this, [this, result] { OnEjectDone(result); }, Qt::QueuedConnection);
  });
}

void CMainDlg::OnEjectDone(const koral::EjectResult& result) {
  m_ejectWorker.join();
  QApplication::restoreOverrideCursor();
  const QString text = QString::fromStdString(result.message);
  if (result.ejected) {
    OnPlayerGone(false);
    Prompt::Information(this, text, kEjectTitle);
  } else {
    SetPlayerControlsEnabled(m_playerFound);
    Prompt::Message(this, text, kEjectTitle);
  }
  if (m_rescanPending) RescanPlayer();
  SwitchToRequestedPlayer();
}

void CMainDlg::OnStartedAgain(const QString& player) {
  BringToFront();
  if (player.isEmpty()) return;
  m_requestedPlayer = PathToStd(player);
  SwitchToRequestedPlayer();
}

void CMainDlg::BringToFront() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
  // A question or the copy's progress open over the window stays above it.
  if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
    modal->raise();
    modal->activateWindow();
  }
}

// Never under a copy, an eject, a count or an open question: they act on
// the player shown. The request waits and is taken once they are over.
void CMainDlg::SwitchToRequestedPlayer() {
  if (m_requestedPlayer.empty() || IsBusyWithPlayer() || QApplication::activeModalWidget() != nullptr) return;
  const std::string root = std::exchange(m_requestedPlayer, {});
  std::error_code error;
  if (!std::filesystem::is_directory(root, error)) {
    // The player shown stays: the request is the one mistaken.
    Prompt::Message(this,
                    QStringLiteral("L'Koral n'a pas été trouvé : le dossier '%1' n'existe pas.").arg(PathFromStd(root)),
                    QStringLiteral("Koral manquant"));
    return;
  }
  if (m_playerFound && std::filesystem::equivalent(root, m_playerRoot, error)) return;
  m_context.player = root;  // the settings windows open this player too
  m_rescanPending = false;
  m_missingNamedPlayer.clear();
  if (m_playerFound) OnPlayerGone(false);
  OnPlayerArrived(root);
}

bool CMainDlg::event(QEvent* event) {
  if (event->type() == QEvent::WindowUnblocked && !m_requestedPlayer.empty())
    QTimer::singleShot(0, this, &CMainDlg::SwitchToRequestedPlayer);
  return QDialog::event(event);
}
