#include <filesystem>

#include <QHeaderView>
#include <QLayout>
#include <QMenu>

#include "app/MainDlg.h"
#include "common/PathText.h"
#include "common/Prompt.h"
#include "files/FolderListing.h"
#include "files/Paths.h"
#include "files/SelectionSize.h"
#include "files/SizeText.h"
#include "ui_MainDlg.h"

namespace {

constexpr int kFolderRole = Qt::UserRole;
constexpr int kSizeColumn = 2;
constexpr int kScrollBarAllowance = 18;
constexpr int kRefreshRowsBeforeScrollBar = 10;

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

koral::ListingRow RowOf(const QTreeWidgetItem* item) {
  return {PathToStd(item->text(0)), item->data(0, kFolderRole).toBool(), PathToStd(item->text(1)), PathToStd(item->text(2))};
}

std::vector<koral::ListingRow> RowsOf(const QTreeWidget* list) {
  std::vector<koral::ListingRow> rows;
  rows.reserve(static_cast<size_t>(list->topLevelItemCount()));
  for (int i = 0; i < list->topLevelItemCount(); ++i) rows.push_back(RowOf(list->topLevelItem(i)));
  return rows;
}

// Puts the rows in the given order; the selection and the current row stay.
void Reorder(QTreeWidget* list, const std::vector<size_t>& order) {
  QTreeWidgetItem* current = list->currentItem();
  std::vector<bool> selected;
  selected.reserve(order.size());
  for (int i = 0; i < list->topLevelItemCount(); ++i) selected.push_back(list->topLevelItem(i)->isSelected());
  const QList<QTreeWidgetItem*> items = list->invisibleRootItem()->takeChildren();
  QList<QTreeWidgetItem*> ordered;
  ordered.reserve(items.size());
  for (size_t index : order) ordered.append(items[static_cast<qsizetype>(index)]);
  list->addTopLevelItems(ordered);
  for (size_t index : order)
    if (selected[index]) items[static_cast<qsizetype>(index)]->setSelected(true);
  if (current != nullptr) list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
}

bool MoreRowsThanFit(const QTreeWidget* list) {
  if (list->topLevelItemCount() == 0) return false;
  const int rowHeight = std::max(1, list->sizeHintForRow(0));
  // From the list's own geometry: its viewport is sized only once the window is shown.
  const int visibleHeight = list->contentsRect().height() - list->header()->sizeHint().height();
  return list->topLevelItemCount() > visibleHeight / rowHeight;
}

struct SpaceTexts {
  QString free;
  QString total;
};

// The volume that holds the folder: bytes free for the user and its size,
// both 0 when the query fails.
SpaceTexts SpaceOf(const QString& folder) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(PathToStd(folder), error);
  const bool known = !error && !folder.isEmpty();
  return {FromStd(koral::FormatSize(known ? static_cast<std::int64_t>(space.available) : 0)),
          FromStd(koral::FormatSize(known ? static_cast<std::int64_t>(space.capacity) : 0))};
}

}  // namespace

void CMainDlg::SetUpLists() {
  // The widths follow the lists' real size, known once the layout has run.
  layout()->activate();
  for (QTreeWidget* list : {m_ui->computerList, m_ui->playerList}) {
    const int width = list->width();
    list->setColumnWidth(0, (2 * width) / 3 - 3);
    list->setColumnWidth(1, width / 6);
    list->setColumnWidth(kSizeColumn, width / 6);
    list->setIconSize(QSize(16, 16));
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);  // "Taille" keeps the width given to it
    connect(list, &QTreeWidget::itemDoubleClicked, this,
            [this, list](QTreeWidgetItem* item) { OpenFolder(list, item); });
    connect(list->header(), &QHeaderView::sectionClicked, this,
            [this, list](int column) { OnColumnClicked(list, column); });
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& position) { OnListContextMenu(list, position); });
  }
}

QString& CMainDlg::FolderOf(const QTreeWidget* list) {
  return list == m_ui->computerList ? m_computerFolder : m_playerFolder;
}

// The computer list climbs to "/"; the player list never leaves the player.
bool CMainDlg::ShowsParent(const QTreeWidget* list, const std::string& folder) const {
  if (list == m_ui->computerList) return folder != "/";
  return folder != PathToStd(m_playerRoot);
}

bool CMainDlg::MayBrowse(const QTreeWidget* list, const std::string& folder) const {
  // A relative folder (a path written on another system) would depend on the working folder.
  if (list == m_ui->computerList) return !folder.empty() && folder.front() == '/';
  return koral::IsFolderOnPlayer(folder, PathToStd(m_playerRoot));
}

void CMainDlg::FillList(QTreeWidget* list, const QString& folder, const std::vector<koral::ListingRow>& rows) {
  list->clear();
  const std::string folderPath = PathToStd(folder);
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const koral::ListingRow& row : rows) {
    auto* item = new QTreeWidgetItem({PathFromStd(row.name), FromStd(row.type), FromStd(row.sizeText)});
    item->setData(0, kFolderRole, row.isFolder);
    item->setIcon(0, m_listIcons.Icon(PathFromStd(koral::JoinPath(folderPath, row.name)), row.isFolder, item->text(1)));
    items.append(item);
  }
  list->addTopLevelItems(items);
}

void CMainDlg::SetSizeColumnWidth(QTreeWidget* list, bool scrollBarShown) {
  const int width = list->width() / 6;
  list->setColumnWidth(kSizeColumn, scrollBarShown ? width - kScrollBarAllowance : width);
}

void CMainDlg::ShowSpace(const QTreeWidget* list, const QString& drive) {
  const SpaceTexts space = SpaceOf(drive);
  const bool computer = list == m_ui->computerList;
  (computer ? m_ui->computerFreeLabel : m_ui->playerFreeLabel)->setText(space.free);
  (computer ? m_ui->computerTotalLabel : m_ui->playerTotalLabel)->setText(space.total);
}

void CMainDlg::ListDriveRoot(QTreeWidget* list, const QString& root) {
  FolderOf(list) = root;
  const std::string drive = PathToStd(root);
  const auto rows = MayBrowse(list, drive) ? koral::ListFolder(drive, ShowsParent(list, drive)) : std::nullopt;
  FillList(list, root, rows.value_or(std::vector<koral::ListingRow>{}));
  SetSizeColumnWidth(list, MoreRowsThanFit(list));
  ShowSpace(list, root);
  ApplyDefaultOrder(list);
  ShowMembers();
}

bool CMainDlg::OpenFolder(QTreeWidget* list, QTreeWidgetItem* item) {
  TakeControls();
  QString& folder = FolderOf(list);
  std::string candidate = koral::BrowseCandidate(PathToStd(folder), item != nullptr ? PathToStd(item->text(0)) : std::string());
  // An unset computer folder shows the root, as the system's current drive would.
  if (candidate.empty() && list == m_ui->computerList) candidate.push_back('/');
  const auto rows = MayBrowse(list, candidate) ? koral::ListFolder(candidate, ShowsParent(list, candidate))
                                                : std::nullopt;
  if (rows) {
    folder = PathFromStd(candidate);
    FillList(list, folder, *rows);
    SetSizeColumnWidth(list, MoreRowsThanFit(list));
  }
  // Always the computer list's flag, whichever list was opened.
  m_computerSort.flag = false;
  ApplyDefaultOrder(list);
  ShowMembers();
  return rows.has_value();
}

void CMainDlg::RefreshPlayerList() {
  TakeControls();  // the options clicked since the last handler must survive the showing below
  const std::string folder = PathToStd(m_playerFolder);
  if (MayBrowse(m_ui->playerList, folder)) {
    if (const auto rows = koral::ListFolder(folder, ShowsParent(m_ui->playerList, folder))) {
      FillList(m_ui->playerList, m_playerFolder, *rows);
      SetSizeColumnWidth(m_ui->playerList, rows->size() > kRefreshRowsBeforeScrollBar);
    }
  }
  m_ui->playerFreeLabel->setText(SpaceOf(m_playerFolder).free);
  ShowMembers();
}

void CMainDlg::OnDriveChanged(int /*index*/) {
  m_ui->computerList->clear();
  TakeControls();
  const QString drive = m_ui->driveCombo->itemText(m_driveIndex);
  if (drive.isEmpty()) return;
  ListDriveRoot(m_ui->computerList, drive);
}

void CMainDlg::ApplyDefaultOrder(QTreeWidget* list) { Reorder(list, koral::DefaultOrder(RowsOf(list))); }

void CMainDlg::OnColumnClicked(QTreeWidget* list, int column) {
  koral::SortState& state = list == m_ui->computerList ? m_computerSort : m_playerSort;
  state.Click(column);
  Reorder(list, koral::ColumnOrder(RowsOf(list), state.column, state.flag));
}

std::unique_ptr<QMenu> CMainDlg::CreateListMenu(QTreeWidget* list) {
  if (list == m_ui->playerList) {
    auto menu = std::make_unique<QMenu>(QStringLiteral("&fichier"), this);
    menu->addAction(m_createDirectoryAction);
    return menu;
  }
  TakeControls();
  QString text = QStringLiteral("Aucun élément sélectionné");
  if (!list->selectedItems().isEmpty()) {
    const std::optional<float> size = ComputerSelectionSize();
    if (!size) return nullptr;
    text = QString::number(static_cast<double>(*size), 'f', 1) + QStringLiteral(" Mo");
  }
  auto menu = std::make_unique<QMenu>(QStringLiteral("&info"), this);
  // The entry only shows the size: choosing it does nothing.
  menu->addAction(text)->setObjectName(QStringLiteral("selectionSizeAction"));
  return menu;
}

void CMainDlg::OnListContextMenu(QTreeWidget* list, const QPoint& position) {
  const std::unique_ptr<QMenu> menu = CreateListMenu(list);
  if (menu) menu->exec(list->viewport()->mapToGlobal(position));
}

std::optional<float> CMainDlg::ComputerSelectionSize() {
  std::vector<std::string> names;
  for (int i = 0; i < m_ui->computerList->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = m_ui->computerList->topLevelItem(i);
    if (item->isSelected()) names.push_back(PathToStd(item->text(0)));
  }
  try {
    return koral::SelectionSize(PathToStd(m_computerFolder), names, m_followPlaylist == 1);
  } catch (const koral::PlaylistUnreadable& unreadable) {
    // A pipe in a playlist's place is refused; the window stays.
    if (unreadable.NotRegularFile()) {
      Prompt::Message(this, QString::fromStdString(koral::NotRegularPlaylistText(unreadable.Playlist())),
                      QStringLiteral("Erreur pas cool"));
      return std::nullopt;
    }
    Prompt::Message(this, QStringLiteral("Echec de l'ouverture de la playlist"), QStringLiteral("Erreur pas cool"));
    accept();
    return std::nullopt;
  }
}
