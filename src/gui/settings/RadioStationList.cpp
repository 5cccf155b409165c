// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/settings/RadioStationList.h"

#include <algorithm>

#include <QEvent>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

#include "core/settings/RadioFrequency.h"

namespace {

enum Column { kNameColumn = 0, kFrequencyColumn = 1 };

double FrequencyOf(const QString& text) { return koral::ReadMegahertz(text.toStdString()); }

QTableWidgetItem* ReadOnlyItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
  return item;
}

}  // namespace

RadioStationList::RadioStationList(QTableWidget* table)
    : QObject(table), m_table(table), m_viewport(table->viewport()) {
  m_table->horizontalHeader()->setSectionsClickable(true);
  m_viewport->installEventFilter(this);
  m_table->installEventFilter(this);
  connect(m_table->horizontalHeader(), &QHeaderView::sectionClicked, this, &RadioStationList::OnHeaderClicked);
  connect(m_table, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { OnCurrentRowChanged(row); });
  SetColumnWidths();
}

void RadioStationList::Fill(const std::vector<koral::RadioStation>& stations) {
  m_rows.clear();
  m_mark.reset();
  for (const koral::RadioStation& station : stations)
    m_rows.push_back({QString::fromStdString(station.name),
                      QString::fromStdString(koral::FormatMegahertz(station.megahertz)),
                      static_cast<int>(m_rows.size())});
  ShowRows();
}

void RadioStationList::Clear() { Fill({}); }

QString RadioStationList::NameOnFrequency(double megahertz) const {
  const long key = koral::FrequencyKey(megahertz);
  for (const Row& row : m_rows)
    if (koral::FrequencyKey(FrequencyOf(row.frequency)) == key) return row.name;
  return {};
}

std::optional<double> RadioStationList::MarkedFrequency() const {
  if (!m_mark) return std::nullopt;
  const Row* row = FindRow(*m_mark);
  if (row == nullptr) return std::nullopt;
  return FrequencyOf(row->frequency);
}

bool RadioStationList::eventFilter(QObject* watched, QEvent* event) {
  // Compare pointers only: the filter also sees events while the table is being destroyed.
  if (event->type() == QEvent::MouseButtonDblClick && watched == m_viewport) emit doubleClicked();
  if (watched == m_table && event->type() == QEvent::Resize) SetColumnWidths();
  return QObject::eventFilter(watched, event);
}

// The first click on a column sorts it one way; each further click on the
// same column turns the order round.
void RadioStationList::OnHeaderClicked(int column) {
  m_sortDirection = column == m_sortedColumn ? !m_sortDirection : true;
  m_sortedColumn = column;
  const bool direction = m_sortDirection;
  if (column == kNameColumn) {
    std::stable_sort(m_rows.begin(), m_rows.end(), [direction](const Row& a, const Row& b) {
      const int order = QString::compare(a.name, b.name, Qt::CaseSensitive);
      return direction ? order < 0 : order > 0;
    });
  } else {
    std::stable_sort(m_rows.begin(), m_rows.end(), [direction](const Row& a, const Row& b) {
      const double first = FrequencyOf(a.frequency);
      const double second = FrequencyOf(b.frequency);
      return direction ? first > second : first < second;
    });
  }
  ShowRows();
}

void RadioStationList::OnCurrentRowChanged(int row) {
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
  m_mark = m_rows[static_cast<size_t>(row)].identity;
}

void RadioStationList::ShowRows() {
  {
    const QSignalBlocker blocker(m_table);
    m_table->clearContents();
    m_table->setRowCount(static_cast<int>(m_rows.size()));
    for (size_t i = 0; i < m_rows.size(); ++i) {
      m_table->setItem(static_cast<int>(i), kNameColumn, ReadOnlyItem(m_rows[i].name));
      m_table->setItem(static_cast<int>(i), kFrequencyColumn, ReadOnlyItem(m_rows[i].frequency));
    }
    // The mark follows its row to wherever the sort put it.
    const auto marked = std::find_if(m_rows.begin(), m_rows.end(),
                                     [this](const Row& row) { return m_mark && row.identity == *m_mark; });
    if (marked != m_rows.end()) m_table->setCurrentCell(static_cast<int>(marked - m_rows.begin()), kNameColumn);
    else m_table->setCurrentCell(-1, -1);
  }
  SetColumnWidths();
}

// "Nom" takes two thirds of the list; "Fréquence" the rest, less the room of
// the scroll bar when the rows overflow the visible height.
void RadioStationList::SetColumnWidths() {
  const int width = m_table->width();
  const int rowsHeight = m_table->rowCount() * m_table->verticalHeader()->defaultSectionSize();
  const bool overflows = rowsHeight > m_table->viewport()->height();
  m_table->setColumnWidth(kNameColumn, (2 * width) / 3 - 10);
  m_table->setColumnWidth(kFrequencyColumn, overflows ? width / 3 - 10 : width / 3 + 7);
}

const RadioStationList::Row* RadioStationList::FindRow(int identity) const {
  for (const Row& row : m_rows)
    if (row.identity == identity) return &row;
  return nullptr;
}
