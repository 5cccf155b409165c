// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/FolderPane.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include "core/copy/PartialCopyNames.h"
#include "core/files/Paths.h"
#include "core/files/SelectionSize.h"
#include "core/files/SizeText.h"
#include "gui/app/ListIcons.h"
#include "gui/app/ListKeys.h"
#include "gui/app/ListRows.h"
#include "gui/common/PathText.h"

namespace {

constexpr int kSizeColumn = 2;
constexpr int kScrollBarAllowance = 18;

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

}  // namespace

CFolderPane::CFolderPane(QTreeWidget* list, Labels labels, CListIcons& icons, Rules rules)
    : m_list(list), m_labels(labels), m_icons(icons), m_rules(rules) {
  SetUpList();
  ConnectList();
}

void CFolderPane::SetUpList() {
  m_list->setIconSize(QSize(16, 16));
  // Four rows still show when a narrow window brings the horizontal scroll bar.
  m_list->setMinimumHeight(m_list->header()->sizeHint().height() + kRowsShownAtLeast * RowHeight() +
                           m_list->horizontalScrollBar()->sizeHint().height() + 2 * m_list->frameWidth());
  m_list->setSortingEnabled(false);
  m_list->header()->setSectionsClickable(true);
  m_list->header()->setStretchLastSection(false);  // "Taille" keeps the width given to it
}

void CFolderPane::ConnectList() {
  connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CFolderPane::OpenFolder);
  connect(m_list->header(), &QHeaderView::sectionClicked, this, &CFolderPane::OnColumnClicked);
  connect(m_list, &QWidget::customContextMenuRequested, this, &CFolderPane::ShowMenu);
  auto* keys = new CListKeys(m_list);
  connect(keys, &CListKeys::openRequested, this, &CFolderPane::OpenFolder);
  connect(keys, &CListKeys::parentRequested, this, &CFolderPane::OpenParent);
  connect(keys, &CListKeys::menuRequested, this, &CFolderPane::ShowMenu);
  connect(keys, &CListKeys::deleteRequested, this, &CFolderPane::deleteRequested);
}

// A row's height, measured on a row like the listing's.
int CFolderPane::RowHeight() const {
  auto* probe = new QTreeWidgetItem(m_list, QStringList{QStringLiteral("Musique")});
  probe->setIcon(0, m_list->style()->standardIcon(QStyle::SP_DirIcon));
  const int rowHeight = m_list->sizeHintForRow(0);
  delete probe;
  return rowHeight;
}

// The floor has no "..": the list climbs no higher.
bool CFolderPane::ShowsParent(const std::string& folder) const { return folder != m_floor; }

bool CFolderPane::MayBrowse(const std::string& folder) const {
  if (m_rules.confinedToFloor) return koral::IsFolderOnPlayer(folder, m_floor);
  // A relative folder (a path written on another system) would depend on the working folder.
  return !folder.empty() && folder.front() == '/';
}

void CFolderPane::FillRows(const std::vector<koral::ListingRow>& rows) {
  m_list->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows.size()));
  for (const koral::ListingRow& row : rows) {
    if (m_rules.hidesCopyTemporaries && koral::IsPartialFolderName(row.name)) continue;
    auto* item = new QTreeWidgetItem({QString(), FromStd(row.type), FromStd(row.sizeText)});
    SetRowName(item, row.name);
    SetFolderRow(item, row.isFolder);
    item->setIcon(0, m_icons.Icon(PathFromStd(koral::JoinPath(m_folder, row.name)), row.isFolder, item->text(1)));
    items.append(item);
  }
  m_list->addTopLevelItems(items);
}

void CFolderPane::FitColumns() {
  const int width = m_list->width();
  m_list->setColumnWidth(0, (2 * width) / 3 - 3);
  m_list->setColumnWidth(1, width / 6);
  FitSizeColumn();
}

void CFolderPane::FitSizeColumn() {
  const int width = m_list->width() / 6;
  m_list->setColumnWidth(kSizeColumn, MoreRowsThanFit(m_list) ? width - kScrollBarAllowance : width);
}

void CFolderPane::ShowSpace(const std::string& drive) {
  const SpaceTexts space = SpaceOf(drive);
  m_labels.free->setText(space.free);
  m_labels.total->setText(space.total);
}

void CFolderPane::ListDriveRoot(const std::string& root) {
  m_folder = root;
  const auto rows = MayBrowse(root) ? koral::ListFolder(root, ShowsParent(root)) : std::nullopt;
  FillRows(rows.value_or(std::vector<koral::ListingRow>{}));
  FitSizeColumn();
  ShowSpace(root);
  ApplyDefaultOrder();
  emit listed();
}

bool CFolderPane::OpenFolder(QTreeWidgetItem* item) {
  emit aboutToList();
  std::string candidate = koral::BrowseCandidate(m_folder, item != nullptr ? RowName(item) : std::string());
  // An unset folder shows the floor, as the system's current drive would.
  if (candidate.empty()) candidate = m_floor;
  const auto rows = MayBrowse(candidate) ? koral::ListFolder(candidate, ShowsParent(candidate)) : std::nullopt;
  if (rows) {
    m_folder = candidate;
    FillRows(*rows);
    FitSizeColumn();
  }
  emit folderOpened();
  ApplyDefaultOrder();
  emit listed();
  return rows.has_value();
}

void CFolderPane::OpenParent() {
  const QList<QTreeWidgetItem*> parents = m_list->findItems(QString::fromLatin1(koral::kParentName), Qt::MatchExactly);
  if (parents.isEmpty()) return;  // the floor: the list goes no higher
  const std::string left = std::filesystem::path(m_folder).filename().string();
  if (!OpenFolder(parents.front())) return;
  // Back where the user came from, so that Enter goes in again.
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = m_list->topLevelItem(i);
    if (RowName(row) != left) continue;
    m_list->setCurrentItem(row);
    m_list->scrollToItem(row);
    return;
  }
}

void CFolderPane::Refresh() {
  emit aboutToList();
  if (MayBrowse(m_folder)) {
    if (const auto rows = koral::ListFolder(m_folder, ShowsParent(m_folder))) {
      FillRows(*rows);
      FitSizeColumn();
      ApplyDefaultOrder();  // copied tracks show in their numbers' order
    }
  }
  m_labels.free->setText(SpaceOf(m_folder).free);
  emit listed();
}

void CFolderPane::ClearRows() { m_list->clear(); }

void CFolderPane::Clear() {
  m_floor.clear();
  m_folder.clear();
  m_list->clear();
  m_labels.free->clear();
  m_labels.total->clear();
}

void CFolderPane::ApplyDefaultOrder() { Reorder(m_list, koral::DefaultOrder(RowsOf(m_list))); }

void CFolderPane::OnColumnClicked(int column) {
  m_sort.Click(column);
  Reorder(m_list, koral::ColumnOrder(RowsOf(m_list), m_sort.column, m_sort.flag));
}

std::unique_ptr<QMenu> CFolderPane::CreateMenu() const { return m_menu ? m_menu() : nullptr; }

void CFolderPane::ShowMenu(const QPoint& position) {
  const std::unique_ptr<QMenu> menu = CreateMenu();
  if (menu) menu->exec(m_list->viewport()->mapToGlobal(position));
}

std::vector<std::string> CFolderPane::SelectedNames() const { return SelectedRowNames(*m_list); }

float CFolderPane::SelectionSize(bool followPlaylist, const koral::AudioConverter* converter, int convertRate) const {
  return koral::SelectionSize(m_folder, SelectedNames(), followPlaylist, converter, convertRate);
}
