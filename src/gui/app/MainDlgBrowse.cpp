// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLayout>
#include <QMenu>
#include <QResizeEvent>

#include "gui/app/ConvertOption.h"
#include "gui/app/FileDropTarget.h"
#include "gui/app/FileUrls.h"
#include "gui/app/FolderPane.h"
#include "gui/app/MainDlg.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "ui_MainDlg.h"

namespace {

// Ten rows when the screen has room, four on a small one.
constexpr int kRowsShownPreferably = 10;

}  // namespace

// The player list's rules are its pane's: confined to its floor, the player
// root, and blind to the copies' temporaries.
void CMainDlg::CreatePanes() {
  m_computerPane = std::make_unique<CFolderPane>(m_ui->computerList,
                                                 CFolderPane::Labels{m_ui->computerFreeLabel, m_ui->computerTotalLabel},
                                                 m_listIcons, CFolderPane::Rules{});
  m_computerPane->SetFloor("/");
  m_computerPane->SetMenu([this] { return ComputerListMenu(); });
  m_playerPane = std::make_unique<CFolderPane>(
      m_ui->playerList, CFolderPane::Labels{m_ui->playerFreeLabel, m_ui->playerTotalLabel}, m_listIcons,
      CFolderPane::Rules{.confinedToFloor = true, .hidesCopyTemporaries = true});
  m_playerPane->SetMenu([this] { return PlayerListMenu(); });
  for (CFolderPane* pane : {m_computerPane.get(), m_playerPane.get()}) {
    // The options clicked since the last handler must survive the showing after the listing.
    connect(pane, &CFolderPane::aboutToList, this, &CMainDlg::TakeControls);
    connect(pane, &CFolderPane::listed, this, &CMainDlg::ShowMembers);
    // Opening a folder in either list clears the computer list's direction flag.
    connect(pane, &CFolderPane::folderOpened, m_computerPane.get(), &CFolderPane::ClearSortFlag);
  }
  // The computer's files are never deleted from here.
  connect(m_playerPane.get(), &CFolderPane::deleteRequested, this, &CMainDlg::OnDeleteFromPlayer);
}

QSize CMainDlg::PreferredSize() const {
  int extra = 0;
  for (const CFolderPane* pane : {m_computerPane.get(), m_playerPane.get()})
    extra += (kRowsShownPreferably - CFolderPane::kRowsShownAtLeast) * pane->RowHeight();
  const QSize least = minimumSizeHint();
  return QSize(least.width(), least.height() + extra).expandedTo(size());
}

void CMainDlg::SetUpLists() {
  SetUpDragAndDrop();
  // The widths follow the lists' real size, known once the layout has run.
  layout()->activate();
  FitColumns();
}

// Rows of the computer list go out as files; files dropped on the player
// list are copied into the player folder shown, as "Copier sur l'Koral" does.
void CMainDlg::SetUpDragAndDrop() {
  m_ui->computerList->SetDragData(
      [this] { return FileUrlsOf(m_computerPane->Folder(), m_computerPane->SelectedNames()); });
  auto* dropTarget = new CFileDropTarget(m_ui->playerList, [this] {
    return m_playerFound && !IsBusyWithPlayer() && QApplication::activeModalWidget() == nullptr;
  });
  connect(dropTarget, &CFileDropTarget::filesDropped, this, &CMainDlg::OnFilesDropped);
}

void CMainDlg::FitColumns() {
  for (CFolderPane* pane : {m_computerPane.get(), m_playerPane.get()}) pane->FitColumns();
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitColumns();
}

void CMainDlg::RefreshPlayerList() { m_playerPane->Refresh(); }

void CMainDlg::OnDriveChanged(int /*index*/) {
  m_computerPane->ClearRows();
  TakeControls();
  const std::string drive = m_ui->driveCombo->itemData(m_driveIndex).toByteArray().toStdString();
  if (drive.empty()) return;
  m_computerPane->ListDriveRoot(drive);
}

std::unique_ptr<QMenu> CMainDlg::CreateListMenu(QTreeWidget* list) {
  for (const CFolderPane* pane : {m_computerPane.get(), m_playerPane.get()})
    if (pane->List() == list) return pane->CreateMenu();
  return nullptr;
}

std::unique_ptr<QMenu> CMainDlg::PlayerListMenu() {
  auto menu = std::make_unique<QMenu>(QStringLiteral("&fichier"), this);
  menu->addAction(m_createDirectoryAction);
  return menu;
}

std::unique_ptr<QMenu> CMainDlg::ComputerListMenu() {
  TakeControls();
  QString text = QStringLiteral("Aucun élément sélectionné");
  if (!m_ui->computerList->selectedItems().isEmpty()) {
    const std::optional<float> size = ComputerSelectionSize();
    if (!size) return nullptr;
    text = QString::number(static_cast<double>(*size), 'f', 1) + QStringLiteral(" Mo");
  }
  auto menu = std::make_unique<QMenu>(QStringLiteral("&info"), this);
  // The entry only shows the size: choosing it does nothing.
  menu->addAction(text)->setObjectName(QStringLiteral("selectionSizeAction"));
  return menu;
}

std::optional<float> CMainDlg::ComputerSelectionSize() {
  try {
    return m_computerPane->SelectionSize(m_followPlaylist == 1, m_convertOption->Converter(), m_convertOption->Rate());
  } catch (const koral::PlaylistUnreadable& unreadable) {
    TellUnreadablePlaylist(unreadable);
    return std::nullopt;
  }
}

std::optional<koral::CopyPlan> CMainDlg::PlanCopy(const koral::CopyJob& job) {
  try {
    return koral::BuildCopyPlan(job);
  } catch (const koral::PlaylistUnreadable& unreadable) {
    TellUnreadablePlaylist(unreadable);
    return std::nullopt;
  }
}

void CMainDlg::TellUnreadablePlaylist(const koral::PlaylistUnreadable& unreadable) {
  // A pipe or a huge file in a playlist's place is refused; the window stays.
  if (const std::string refusal = koral::PlaylistRefusalText(unreadable); !refusal.empty()) {
    Prompt::Message(this, PathFromStd(refusal), QStringLiteral("Erreur pas cool"));
    return;
  }
  Prompt::Message(this, QStringLiteral("Echec de l'ouverture de la playlist"), QStringLiteral("Erreur pas cool"));
  accept();
}
