// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QObject>

#include "core/copy/AudioConversion.h"
#include "core/files/FolderListing.h"

class CListIcons;
class QLabel;
class QMenu;
class QPoint;
class QTreeWidget;
class QTreeWidgetItem;

// One folder browser of the main window: the list, the folder it shows, the
// order of its rows and the moves between folders. The two panes differ only
// by their rules and their floor, the folder the list never climbs above.
class CFolderPane final : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CFolderPane)

 public:
  struct Rules {
    // Lists only folders inside the floor, links resolved; otherwise any absolute folder.
    bool confinedToFloor = false;
    // The copies' temporaries are never shown, nor offered for a delete.
    bool hidesCopyTemporaries = false;
  };
  struct Labels {
    QLabel* free;
    QLabel* total;
  };
  using MenuFactory = std::function<std::unique_ptr<QMenu>()>;  // nullptr: no menu
  static constexpr int kRowsShownAtLeast = 4;                   // even on a small screen

  CFolderPane(QTreeWidget* list, Labels labels, CListIcons& icons, Rules rules);

  QTreeWidget* List() const { return m_list; }
  // Paths as the file system spells them, which need not be UTF-8.
  const std::string& Folder() const { return m_folder; }
  void SetFolder(std::string folder) { m_folder = std::move(folder); }
  void SetFloor(std::string floor) { m_floor = std::move(floor); }
  void SetMenu(MenuFactory menu) { m_menu = std::move(menu); }

  // Shows a drive's root and its space, whether or not it can be listed.
  void ListDriveRoot(const std::string& root);
  // The folder of the row, or the folder itself without one; false when the list stays as it was.
  bool OpenFolder(QTreeWidgetItem* item);
  void OpenParent();  // as "..", the folder left marked
  void Refresh();     // the folder shown listed again, and its free space
  void ClearRows();
  void Clear();  // no floor, no folder, no rows, no space: the pane shows nothing
  void FitColumns();
  void ClearSortFlag() { m_sort.flag = false; }
  std::unique_ptr<QMenu> CreateMenu() const;

  // The names of the selected rows, top row first.
  std::vector<std::string> SelectedNames() const;
  // Their size in MiB, playlists followed when asked, and with a converter
  // what the player cannot play counted as the MP3 it becomes at that rate;
  // throws koral::PlaylistUnreadable.
  float SelectionSize(bool followPlaylist, const koral::AudioConverter* converter = nullptr, int convertRate = 0) const;

  int RowHeight() const;  // measured on a row like the listing's

 signals:
  void aboutToList();   // before a folder is opened or listed again: the window takes its controls
  void listed();        // after any listing: the window shows its controls
  void folderOpened();  // an opening was tried, whether or not it listed
  void deleteRequested();

 private:
  void SetUpList();
  void ConnectList();
  bool ShowsParent(const std::string& folder) const;
  bool MayBrowse(const std::string& folder) const;
  void FillRows(const std::vector<koral::ListingRow>& rows);
  void FitSizeColumn();
  void ShowSpace(const std::string& drive);
  void ApplyDefaultOrder();
  void OnColumnClicked(int column);
  void ShowMenu(const QPoint& position);

  QTreeWidget* m_list;
  Labels m_labels;
  CListIcons& m_icons;
  Rules m_rules;
  std::string m_folder;
  std::string m_floor;
  koral::SortState m_sort;
  MenuFactory m_menu;
};
