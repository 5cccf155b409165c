// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <QApplication>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include "gui/app/FileDropTarget.h"
#include "gui/app/FileUrls.h"
#include "gui/app/ListKeys.h"
#include "gui/app/ListRows.h"
#include "gui/app/MainDlg.h"
#include "gui/common/PathText.h"
#include "gui/common/Prompt.h"
#include "core/files/FolderListing.h"
#include "core/copy/PartialCopyNames.h"
#include "core/files/Paths.h"
#include "core/files/SelectionSize.h"
#include "core/files/SizeText.h"
#include "ui_MainDlg.h"

namespace {

constexpr int kSizeColumn = 2;
constexpr int kScrollBarAllowance = 18;
// Ten rows when the screen has room, four on a small one.
constexpr int kRowsShownAtLeast = 4;
constexpr int kRowsShownPreferably = 10;

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

koral::ListingRow RowOf(const QTreeWidgetItem* item) {
  return {RowName(item), IsFolderRow(item), PathToStd(item->text(1)), PathToStd(item->text(2))};
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
SpaceTexts SpaceOf(const std::string& folder) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(folder, error);
  const bool known = !error && !folder.empty();
  return {FromStd(koral::FormatSize(known ? static_cast<std::int64_t>(space.available) : 0)),
          FromStd(koral::FormatSize(known ? static_cast<std::int64_t>(space.capacity) : 0))};
}

// A row's height, measured on a row like the listing's.
int RowHeight(QTreeWidget* list) {
  auto* probe = new QTreeWidgetItem(list, QStringList{QStringLiteral("Musique")});
  probe->setIcon(0, list->style()->standardIcon(QStyle::SP_DirIcon));
  const int rowHeight = list->sizeHintForRow(0);
  delete probe;
  return rowHeight;
}

}  // namespace

QSize CMainDlg::PreferredSize() const {
  int extra = 0;
  for (QTreeWidget* list : {m_ui->computerList, m_ui->playerList})
    extra += (kRowsShownPreferably - kRowsShownAtLeast) * RowHeight(list);
  const QSize least = minimumSizeHint();
  return QSize(least.width(), least.height() + extra).expandedTo(size());
}

void CMainDlg::SetUpLists() {
  for (QTreeWidget* list : {m_ui->computerList, m_ui->playerList}) {
    list->setIconSize(QSize(16, 16));
    // Four rows still show when a narrow window brings the horizontal scroll bar.
    list->setMinimumHeight(list->header()->sizeHint().height() + kRowsShownAtLeast * RowHeight(list) +
                           list->horizontalScrollBar()->sizeHint().height() + 2 * list->frameWidth());
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(true);
    list->header()->setStretchLastSection(false);  // "Taille" keeps the width given to it
    connect(list, &QTreeWidget::itemDoubleClicked, this,
            [this, list](QTreeWidgetItem* item) { OpenFolder(list, item); });
    connect(list->header(), &QHeaderView::sectionClicked, this,
            [this, list](int column) { OnColumnClicked(list, column); });
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& position) { OnListContextMenu(list, position); });
    auto* keys = new CListKeys(list);
    connect(keys, &CListKeys::openRequested, this, [this, list](QTreeWidgetItem* item) { OpenFolder(list, item); });
    connect(keys, &CListKeys::parentRequested, this, [this, list] { OpenParent(list); });
    connect(keys, &CListKeys::menuRequested, this,
            [this, list](const QPoint& position) { OnListContextMenu(list, position); });
    // The computer's files are never deleted from here.
    if (list == m_ui->playerList) connect(keys, &CListKeys::deleteRequested, this, &CMainDlg::OnDeleteFromPlayer);
  }
  SetUpDragAndDrop();
  // The widths follow the lists' real size, known once the layout has run.
  layout()->activate();
  FitColumns();
}

// Rows of the computer list go out as files; files dropped on the player
// list are copied into the player folder shown, as "Copier sur l'Koral" does.
void CMainDlg::SetUpDragAndDrop() {
  m_ui->computerList->SetDragData(
      [this] { return FileUrlsOf(m_computerFolder, SelectedRowNames(*m_ui->computerList)); });
  auto* dropTarget = new CFileDropTarget(m_ui->playerList, [this] {
    return m_playerFound && !IsBusyWithPlayer() && QApplication::activeModalWidget() == nullptr;
  });
  connect(dropTarget, &CFileDropTarget::filesDropped, this, &CMainDlg::OnFilesDropped);
}

void CMainDlg::FitColumns() {
  for (QTreeWidget* list : {m_ui->computerList, m_ui->playerList}) {
    const int width = list->width();
    list->setColumnWidth(0, (2 * width) / 3 - 3);
    list->setColumnWidth(1, width / 6);
    SetSizeColumnWidth(list, MoreRowsThanFit(list));
  }
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitColumns();
}

std::string& CMainDlg::FolderOf(const QTreeWidget* list) {
  return list == m_ui->computerList ? m_computerFolder : m_playerFolder;
}

// The computer list climbs to "/"; the player list never leaves the player.
bool CMainDlg::ShowsParent(const QTreeWidget* list, const std::string& folder) const {
  if (list == m_ui->computerList) return folder != "/";
  return folder != m_playerRoot;
}

bool CMainDlg::MayBrowse(const QTreeWidget* list, const std::string& folder) const {
  // A relative folder (a path written on another system) would depend on the working folder.
  if (list == m_ui->computerList) return !folder.empty() && folder.front() == '/';
  return koral::IsFolderOnPlayer(folder, m_playerRoot);
}

void CMainDlg::FillList(QTreeWidget* list, const std::string& folder, const std::vector<koral::ListingRow>& rows) {
  list->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const koral::ListingRow& row : rows) {
    // The copies' temporaries are never shown, nor offered for a delete.
    if (list == m_ui->playerList && koral::IsPartialFolderName(row.name)) continue;
    auto* item = new QTreeWidgetItem({QString(), FromStd(row.type), FromStd(row.sizeText)});
    SetRowName(item, row.name);
    SetFolderRow(item, row.isFolder);
    item->setIcon(0, m_listIcons.Icon(PathFromStd(koral::JoinPath(folder, row.name)), row.isFolder, item->text(1)));
    items.append(item);
  }
  list->addTopLevelItems(items);
}

void CMainDlg::SetSizeColumnWidth(QTreeWidget* list, bool scrollBarShown) {
  const int width = list->width() / 6;
  list->setColumnWidth(kSizeColumn, scrollBarShown ? width - kScrollBarAllowance : width);
}

void CMainDlg::ShowSpace(const QTreeWidget* list, const std::string& drive) {
  const SpaceTexts space = SpaceOf(drive);
  const bool computer = list == m_ui->computerList;
  (computer ? m_ui->computerFreeLabel : m_ui->playerFreeLabel)->setText(space.free);
  (computer ? m_ui->computerTotalLabel : m_ui->playerTotalLabel)->setText(space.total);
}

void CMainDlg::ListDriveRoot(QTreeWidget* list, const std::string& root) {
  FolderOf(list) = root;
  const auto rows = MayBrowse(list, root) ? koral::ListFolder(root, ShowsParent(list, root)) : std::nullopt;
  FillList(list, root, rows.value_or(std::vector<koral::ListingRow>{}));
  SetSizeColumnWidth(list, MoreRowsThanFit(list));
  ShowSpace(list, root);
  ApplyDefaultOrder(list);
  ShowMembers();
}

bool CMainDlg::OpenFolder(QTreeWidget* list, QTreeWidgetItem* item) {
  TakeControls();
  std::string& folder = FolderOf(list);
  std::string candidate = koral::BrowseCandidate(folder, item != nullptr ? RowName(item) : std::string());
  // An unset computer folder shows the root, as the system's current drive would.
  if (candidate.empty() && list == m_ui->computerList) candidate.push_back('/');
  const auto rows = MayBrowse(list, candidate) ? koral::ListFolder(candidate, ShowsParent(list, candidate))
                                                : std::nullopt;
  if (rows) {
    folder = candidate;
    FillList(list, folder, *rows);
    SetSizeColumnWidth(list, MoreRowsThanFit(list));
  }
  // Always the computer list's flag, whichever list was opened.
  m_computerSort.flag = false;
  ApplyDefaultOrder(list);
  ShowMembers();
  return rows.has_value();
}

void CMainDlg::OpenParent(QTreeWidget* list) {
  const QList<QTreeWidgetItem*> parents = list->findItems(QString::fromLatin1(koral::kParentName), Qt::MatchExactly);
  if (parents.isEmpty()) return;  // a root: the list goes no higher
  const std::string left = std::filesystem::path(FolderOf(list)).filename().string();
  if (!OpenFolder(list, parents.front())) return;
  // Back where the user came from, so that Enter goes in again.
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = list->topLevelItem(i);
    if (RowName(row) != left) continue;
    list->setCurrentItem(row);
    list->scrollToItem(row);
    return;
  }
}

void CMainDlg::RefreshPlayerList() {
  TakeControls();  // the options clicked since the last handler must survive the showing below
  const std::string& folder = m_playerFolder;
  if (MayBrowse(m_ui->playerList, folder)) {
    if (const auto rows = koral::ListFolder(folder, ShowsParent(m_ui->playerList, folder))) {
      FillList(m_ui->playerList, m_playerFolder, *rows);
      SetSizeColumnWidth(m_ui->playerList, MoreRowsThanFit(m_ui->playerList));
      ApplyDefaultOrder(m_ui->playerList);  // copied tracks show in their numbers' order
    }
  }
  m_ui->playerFreeLabel->setText(SpaceOf(m_playerFolder).free);
  ShowMembers();
}

void CMainDlg::OnDriveChanged(int /*index*/) {
  m_ui->computerList->clear();
  TakeControls();
  const std::string drive = m_ui->driveCombo->itemData(m_driveIndex).toByteArray().toStdString();
  if (drive.empty()) return;
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
  const std::vector<std::string> names = SelectedRowNames(*m_ui->computerList);
  try {
    return koral::SelectionSize(m_computerFolder, names, m_followPlaylist == 1);
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
