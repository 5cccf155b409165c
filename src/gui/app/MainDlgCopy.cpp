// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>

#include "core/copy/CopyPlan.h"
#include "core/files/Paths.h"
#include "core/platform/VolumeSpace.h"
#include "gui/app/ConvertOption.h"
#include "gui/app/FolderPane.h"
#include "gui/app/MainDlg.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "gui/files/FileOp.h"
#include "ui_MainDlg.h"

namespace {

// The names of the selected rows, top row first. The parent row is left
// out: copying it would copy the whole parent folder, unchecked against the
// free space, next to the player folder.
std::vector<std::string> SelectedNames(const CFolderPane& pane) {
  std::vector<std::string> names = pane.SelectedNames();
  std::erase_if(names, [](const std::string& name) { return name == ".." || name == "."; });
  return names;
}

}  // namespace

void CMainDlg::OnCopyToPlayer() {
  TakeControls();
  const std::vector<std::string> names = SelectedNames(*m_computerPane);
  if (names.empty()) {
    Prompt::Message(this, QStringLiteral("Pas de source à copier"), QStringLiteral("Copie impossible"));
    return;
  }
  std::vector<std::string> sources;
  for (const std::string& name : names) sources.push_back(koral::JoinPath(m_computerPane->Folder(), name));
  CopyToPlayer(sources);
}

void CMainDlg::OnFilesDropped(const std::vector<std::string>& sources) {
  // The drop was taken as the drag ended; what ran meanwhile may hold the player.
  if (IsBusyWithPlayer() || QApplication::activeModalWidget() != nullptr) return;
  TakeControls();
  CopyToPlayer(sources);
}

// Copies the sources into the player folder shown, each under its own name.
void CMainDlg::CopyToPlayer(const std::vector<std::string>& sources) {
  if (m_playerRoot.empty()) {
    Prompt::Message(this, QStringLiteral("L'Koral n'a pas été détecté."), QStringLiteral("Copie impossible"));
    return;
  }
  // The player folder may have become a link off the player since it was listed.
  const std::string& playerFolder = m_playerPane->Folder();
  koral::CopyJob job;
  for (const std::string& source : sources) {
    job.sources.push_back(source);
    job.destinations.push_back(koral::JoinPath(playerFolder, std::filesystem::path(source).filename().string()));
  }
  job.options = {m_followPlaylist == 1, m_copyMode == 1, m_win98 == 1, m_convertOption->Rate()};
  job.converter = m_convertOption->Converter();
  job.maxFileSize = koral::MaxFileSizeOf(playerFolder);
  job.playerRoot = m_playerRoot;
  // One walk of the selection: the plan's bytes are the size checked.
  std::optional<koral::CopyPlan> plan = PlanCopy(job);
  if (!plan) return;  // a playlist that cannot be read, already told
  if (!koral::HasRoomFor(koral::NeedInMebibytes(*plan), koral::AvailableBytes(m_playerRoot))) {
    Prompt::Message(this, QStringLiteral("Espace libre insuffisant"), QStringLiteral("Copie impossible"));
    return;
  }
  if (!koral::IsFolderOnPlayer(playerFolder, m_playerRoot)) {
    Prompt::Message(this, QStringLiteral("'%1' n'est pas sur l'Koral : rien n'a été copié.").arg(PlayerFolder()),
                    QStringLiteral("Copie impossible"));
    return;
  }
  if (m_fileOp == nullptr) m_fileOp = new CFileOp(this);
  m_ui->ejectButton->setEnabled(false);  // never while the copy writes
  m_fileOp->RunPlan(std::move(job), std::move(*plan));
  m_ui->ejectButton->setEnabled(m_playerFound);
  RefreshPlayerList();
  if (m_rescanPending) RescanPlayer();  // volumes came or went during the copy
  if (!m_fileOp->CancelReport().isEmpty() && !m_closingWithoutQuestions)
    Prompt::Information(this, m_fileOp->CancelReport(), QStringLiteral("Copie annulée"));
}
