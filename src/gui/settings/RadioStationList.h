// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QObject>
#include <QString>

#include "core/settings/RadioStations.h"

class QTableWidget;

// The station list of the Radio page: rows (name, "%.1f" frequency) that
// keep the position they were inserted at as their identity, the sort by a
// column header, the selection mark (the row selected last, which survives
// a click on the empty part of the list and a sort) and the column widths.
class RadioStationList final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(RadioStationList)

 public:
  explicit RadioStationList(QTableWidget* table);

  void Fill(const std::vector<koral::RadioStation>& stations);
  void Clear();

  // The name of the first row, in the current order, on the same tenth of a MHz.
  QString NameOnFrequency(double megahertz) const;
  // The frequency of the row under the selection mark.
  std::optional<double> MarkedFrequency() const;

 signals:
  // A double click anywhere in the list, rows or empty part.
  void doubleClicked();

 private:
  struct Row {
    QString name;
    QString frequency;
    int identity = 0;
  };

  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnHeaderClicked(int column);
  void OnCurrentRowChanged(int row);
  void ShowRows();
  void SetColumnWidths();
  const Row* FindRow(int identity) const;

  QTableWidget* m_table;
  QWidget* m_viewport;
  std::vector<Row> m_rows;  // in the list's current order
  std::optional<int> m_mark;
  int m_sortedColumn = -1;
  bool m_sortDirection = false;
};
