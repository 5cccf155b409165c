#include <QDir>
#include <QHeaderView>

#include "app/MainDlg.h"
#include "ui_MainDlg.h"

// A plain listing of both lists; sizes, icons, ordering and sorting come later.

void CMainDlg::SetUpLists() {
  for (QTreeWidget* list : {m_ui->computerList, m_ui->playerList}) {
    const int width = list->width();
    list->setColumnWidth(0, (2 * width) / 3 - 3);
    list->setColumnWidth(1, width / 6);
    list->setColumnWidth(2, width / 6);
  }
}

void CMainDlg::ListDriveRoot(QTreeWidget* list, const QString& root) {
  if (list == m_ui->computerList) m_computerFolder = root;
  else m_playerFolder = root;
  OpenFolder(list, nullptr);
}

void CMainDlg::OpenFolder(QTreeWidget* list, QTreeWidgetItem* item) {
  QString& folder = list == m_ui->computerList ? m_computerFolder : m_playerFolder;
  if (item != nullptr) {
    const QString name = item->text(0);
    folder = name == ".." ? QFileInfo(folder).path() : QDir(folder).filePath(name);
  }
  list->clear();
  if (folder.isEmpty()) return;
  const QDir dir(folder);
  if (dir.path() != "/" && !(list == m_ui->playerList && folder == m_playerRoot))
    new QTreeWidgetItem(list, {QStringLiteral("..")});
  for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
    new QTreeWidgetItem(list, {entry.fileName(), entry.isDir() ? QStringLiteral("dossier") : entry.suffix()});
}

void CMainDlg::RefreshPlayerList() { OpenFolder(m_ui->playerList, nullptr); }

void CMainDlg::OnDriveChanged(int index) {
  m_driveIndex = index;
  ListDriveRoot(m_ui->computerList, m_ui->driveCombo->itemText(index));
}
