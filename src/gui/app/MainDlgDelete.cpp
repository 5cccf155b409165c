// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <iterator>
#include <optional>

#include <QApplication>
#include <QPointer>

#include "core/files/FolderListing.h"
#include "core/files/Paths.h"
#include "core/files/PlayerFileOps.h"
#include "core/files/RemovalText.h"
#include "gui/app/FolderPane.h"
#include "gui/app/MainDlg.h"
#include "gui/app/RemovalCount.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "gui/files/NewFolderDlg.h"
#include "ui_MainDlg.h"

namespace {

const QString kDeleteTitle = QStringLiteral("Suppression impossible");
const QString kErrorTitle = QStringLiteral("Erreur");

// The player's files, or nullopt with a message when there is no usable player root.
std::optional<koral::PlayerFiles> OpenPlayerFiles(QWidget* parent, const std::string& root) {
  try {
    return koral::PlayerFiles(root);
  } catch (const koral::PlayerPathError&) {
    Prompt::Message(parent, QStringLiteral("L'Koral n'a pas été détecté : rien n'a été supprimé."), kDeleteTitle);
    return std::nullopt;
  }
}

// The files that stayed in one message; then each folder that could not be removed in its own.
void ShowRemovalFailures(QWidget* parent, const std::vector<koral::RemovalFailure>& failures) {
  if (const std::string files = koral::FileRemovalReport(failures); !files.empty())
    Prompt::Message(parent, PathFromStd(files), kErrorTitle);
  for (const koral::RemovalFailure& failure : failures)
    if (failure.folder) Prompt::Message(parent, PathFromStd(koral::RemovalFailureText(failure)), kErrorTitle);
}

// The parent entry is never deleted: the window closes, as "&Quitter" does,
// once the running handler has finished with the other entries.
void RefuseParentEntry(QDialog* window) {
  Prompt::Message(window,
                  QStringLiteral("T'es barge? Ne t'amuse surtout pas à vouloir supprimer '..'! Allez, on sort de là!"),
                  QStringLiteral("Faut pas faire çà!"));
  QMetaObject::invokeMethod(window, &QDialog::accept, Qt::QueuedConnection);
}

void DeleteEntries(QWidget* parent, const koral::PlayerFiles& files, const std::vector<std::string>& paths) {
  std::vector<koral::RemovalFailure> failures;
  for (const std::string& path : paths) {
    try {
      std::ranges::move(files.DeleteEntry(path), std::back_inserter(failures));
    } catch (const koral::PlayerPathError&) {
      Prompt::Message(parent,
                      QStringLiteral("'%1' n'est pas sur l'Koral : rien n'a été supprimé.").arg(PathFromStd(path)),
                      kDeleteTitle);
    }
  }
  ShowRemovalFailures(parent, failures);
}

// Tells what became of the folder: the name it was made under when the
// player's rules changed it, or why none was made.
void CreateFolderOnPlayer(QWidget* parent, const std::string& root, const std::string& folder, const QString& name) {
  QString failure = QStringLiteral("Création du répertoire impossible");
  try {
    const koral::FolderCreation creation = koral::PlayerFiles(root).CreateFolder(folder, PathToStd(name));
    if (!creation.error) {
      if (const std::string renamed = koral::FolderRenameText(creation); !renamed.empty())
        Prompt::Information(parent, PathFromStd(renamed), QStringLiteral("Création d'un répertoire..."));
      return;
    }
    // A mount inside the player is named: it is not what the user sees as a folder of it.
    if (creation.error == std::errc::cross_device_link)
      failure += QStringLiteral(" : %1.").arg(PathFromStd(koral::FolderCreationFailureReason(creation)));
  } catch (const koral::PlayerPathError&) {
    // a bad name, or a place off the player: the plain message
  }
  Prompt::Message(parent, failure, kErrorTitle);
}

}  // namespace

void CMainDlg::OnDeleteFromPlayer() {
  TakeControls();
  std::vector<std::string> names = m_playerPane->SelectedNames();
  if (names.empty()) {
    Prompt::Message(this, QStringLiteral("Aucun fichier sélectionné"), kDeleteTitle);
    return;
  }
  if (IsBusyWithPlayer()) return;
  const std::optional<koral::PlayerFiles> files = OpenPlayerFiles(this, m_playerRoot);
  if (!files) return;
  const bool parentChosen = std::erase(names, std::string(koral::kParentName)) > 0;
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(koral::JoinPath(m_playerPane->Folder(), name));
  if (names.empty()) {  // nothing to ask about: the guard alone
    RefuseParentEntry(this);
    RefreshPlayerList();
    return;
  }
  CountThenAsk(
      [files = *files, paths](std::stop_token stop) { return files.TallyEntries(paths, stop); },
      [this, files = *files, names, paths, parentChosen](const koral::RemovalTally& tally) {
        const QString question = QString::fromStdString(koral::DeleteQuestionText(names, tally));
        if (!Prompt::Confirm(this, question, QStringLiteral("Supprimer de l'Koral"), QStringLiteral("Supprimer")))
          return;
        if (parentChosen) RefuseParentEntry(this);
        DeleteEntries(this, files, paths);
        RefreshPlayerList();
      });
}

void CMainDlg::OnEmptyPlayer() {
  TakeControls();
  if (IsBusyWithPlayer()) return;
  const std::optional<koral::PlayerFiles> files = OpenPlayerFiles(this, m_playerRoot);
  if (!files) return;
  m_playerPane->SetFolder(m_playerRoot);
  m_playerPane->OpenFolder(nullptr);
  if (files->IsEmpty()) {
    Prompt::Message(this, QStringLiteral("L'Koral est vide !"), QStringLiteral("T'es aveugle?"));
    return;
  }
  CountThenAsk([files = *files](std::stop_token stop) { return files.TallyEmptying(stop); },
               [this, files = *files](const koral::RemovalTally& tally) {
                 if (tally.entries == 0) return;  // only DAT and INI files: nothing to do, nothing said
                 const QString question = QString::fromStdString(koral::EmptyQuestionText(tally));
                 if (!Prompt::Confirm(this, question, QStringLiteral("Vider Koral"), QStringLiteral("Vider"))) return;
                 ShowRemovalFailures(this, files.EmptyPlayer());
                 RefreshPlayerList();
               });
}

void CMainDlg::CountThenAsk(std::function<koral::RemovalTally(std::stop_token)> count,
                            std::function<void(const koral::RemovalTally&)> then) {
  const QPointer<QWidget> focus = QApplication::focusWidget();
  const std::string root = m_playerRoot;
  SetPlayerControlsEnabled(false);
  QApplication::setOverrideCursor(Qt::BusyCursor);
  m_removalCount->Start(std::move(count),
                        [this, focus, root, then = std::move(then)](const koral::RemovalTally& tally) {
                          QApplication::restoreOverrideCursor();
                          SetPlayerControlsEnabled(m_playerFound);
                          if (focus && focus->isEnabled()) focus->setFocus();
                          if (m_rescanPending) RescanPlayer();
                          // A player that went meanwhile is not asked about.
                          if (m_playerFound && m_playerRoot == root) then(tally);
                          SwitchToRequestedPlayer();
                        });
}

void CMainDlg::OnCreateDirectory() {
  if (m_newFolderDlg == nullptr) m_newFolderDlg = new CNewFolderDlg(this);
  if (m_newFolderDlg->exec() != QDialog::Accepted) return;
  CreateFolderOnPlayer(this, m_playerRoot, m_playerPane->Folder(), m_newFolderDlg->FolderName());
  if (!m_playerRoot.empty()) RefreshPlayerList();
}
