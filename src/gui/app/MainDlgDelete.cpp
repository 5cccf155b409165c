#include <optional>

#include "app/ListRows.h"
#include "app/MainDlg.h"
#include "common/PathText.h"
#include "common/Prompt.h"
#include "files/NewFolderDlg.h"
#include "files/Paths.h"
#include "files/PlayerFileOps.h"
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

// Each folder that could not be removed gets its own message; a file that stays does not.
void ShowRemovalFailures(QWidget* parent, const std::vector<koral::RemovalFailure>& failures) {
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

void DeleteOneEntry(QWidget* parent, const koral::PlayerFiles& files, const std::string& path) {
  try {
    ShowRemovalFailures(parent, files.DeleteEntry(path));
  } catch (const koral::PlayerPathError&) {
    Prompt::Message(parent, QStringLiteral("'%1' n'est pas sur l'Koral : rien n'a été supprimé.").arg(PathFromStd(path)),
                    kDeleteTitle);
  }
}

bool CreateFolderOnPlayer(const std::string& root, const std::string& folder, const QString& name) {
  try {
    return !koral::PlayerFiles(root).CreateFolder(folder, PathToStd(name));
  } catch (const koral::PlayerPathError&) {
    return false;
  }
}

}  // namespace

void CMainDlg::OnDeleteFromPlayer() {
  TakeControls();
  const std::vector<std::string> names = SelectedRowNames(*m_ui->playerList);
  if (names.empty()) {
    Prompt::Message(this, QStringLiteral("Aucun fichier sélectionné"), kDeleteTitle);
    return;
  }
  const std::optional<koral::PlayerFiles> files = OpenPlayerFiles(this, m_playerRoot);
  if (!files) return;
  for (const std::string& name : names) {
    if (name == "..") RefuseParentEntry(this);
    else DeleteOneEntry(this, *files, koral::JoinPath(m_playerFolder, name));
  }
  RefreshPlayerList();
}

void CMainDlg::OnEmptyPlayer() {
  TakeControls();
  const std::optional<koral::PlayerFiles> files = OpenPlayerFiles(this, m_playerRoot);
  if (!files) return;
  m_playerFolder = m_playerRoot;
  OpenFolder(m_ui->playerList, nullptr);
  if (files->IsEmpty()) {
    Prompt::Message(this, QStringLiteral("L'Koral est vide !"), QStringLiteral("T'es aveugle?"));
    return;
  }
  ShowRemovalFailures(this, files->EmptyPlayer());
  RefreshPlayerList();
}

void CMainDlg::OnCreateDirectory() {
  if (m_newFolderDlg == nullptr) m_newFolderDlg = new CNewFolderDlg(this);
  if (m_newFolderDlg->exec() != QDialog::Accepted) return;
  if (!CreateFolderOnPlayer(m_playerRoot, m_playerFolder, m_newFolderDlg->FolderName()))
    Prompt::Message(this, QStringLiteral("Création du répertoire impossible"), kErrorTitle);
  if (!m_playerRoot.empty()) RefreshPlayerList();
}
