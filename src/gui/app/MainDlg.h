// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>

#include "core/copy/CopyPlan.h"
#include "core/copy/Playlist.h"
#include "core/files/PlayerFileOps.h"
#include "core/platform/Eject.h"
#include "core/platform/MountTableWatch.h"
#include "core/platform/RunContext.h"
#include "gui/app/ListIcons.h"

class CConvertOption;
class CFolderPane;
class CNewFolderDlg;
class CFileOp;
class CRemovalCount;
class QAction;
class QMenu;
class QTreeWidget;

namespace Ui {
class CMainDlg;
}

// The main window: computer folder above, player folder below, the copy
// options and the buttons of every operation.
class CMainDlg final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CMainDlg)

 public:
  // The context is the run's: a player handed by a later start goes into it,
  // so that the windows opened after open that player too.
  explicit CMainDlg(koral::RunContext& context, QWidget* parent = nullptr);
  ~CMainDlg() override;

  QString ComputerFolder() const;
  QString PlayerFolder() const;
  QString PlayerRoot() const;
  bool PlayerFound() const { return m_playerFound; }
  // A player named on the command line is never looked for again.
  bool WatchesMountTable() const { return m_mountWatch != nullptr; }

  // Ends the program as the close box does but asks nothing, for when nobody
  // is there to answer (SIGTERM, SIGHUP): a running copy is stopped, open
  // questions take their safe answer, open sheets and the firmware dialog
  // close with their edits not yet written dropped, and every window's
  // options are saved.
  void CloseWithoutQuestions();

  // Every way of closing the window comes here: open sheets holding changes
  // not yet written ask first, and "Annuler" keeps the program running.
  void done(int result) override;

  // The right-click menu of a list, built as the right click shows it;
  // nullptr when sizing the selection closed the window.
  std::unique_ptr<QMenu> CreateListMenu(QTreeWidget* list);

  // A later start of the program: the window comes to the front and, when the
  // start named a player folder, shows that player as soon as nothing works on the one shown.
  void OnStartedAgain(const QString& player);

 protected:
  void resizeEvent(QResizeEvent* event) override;  // the extra room goes to the lists and their "Nom"
  bool event(QEvent* event) override;              // a dialog closing lets a waiting player in

 private:
  // Start-up and options (MainDlg.cpp).
  void OnInitDialog();
  void ReadOptions();
  void SaveOptions();
  void ShowMembers();
  void TakeControls();
  void DetectPlayer();
  void TellPlayerMissing();
  void FillDriveCombo(const std::vector<std::string>& drives);
  void OnFollowPlaylistToggled();
  void OnOpenSettings();
  void OnOpenFirmware();
  void OnAbout();
  void ConnectSignals();
  bool MayCloseSheets();

  // Folder browsers (MainDlgBrowse.cpp).
  void CreatePanes();
  void SetUpLists();
  void SetUpDragAndDrop();
  void FitColumns();
  QSize PreferredSize() const;  // with ten rows in each list
  void RefreshPlayerList();
  void OnDriveChanged(int index);
  std::unique_ptr<QMenu> ComputerListMenu();
  std::unique_ptr<QMenu> PlayerListMenu();
  std::optional<float> ComputerSelectionSize();
  std::optional<koral::CopyPlan> PlanCopy(const koral::CopyJob& job);
  void TellUnreadablePlaylist(const koral::PlaylistUnreadable& unreadable);

  // The player coming and going, and its eject (MainDlgPlayer.cpp).
  void WatchMountTable();
  void OnMountTableSignal();
  void RescanPlayer();
  void OnPlayerArrived(const std::string& root);
  void OnPlayerGone(bool tellUser);
  void SetPlayerControlsEnabled(bool enabled);
  bool IsBusyWithPlayer() const;
  void OnEjectPlayer();
  void OnEjectDone(const koral::EjectResult& result);
  void BringToFront();
  void SwitchToRequestedPlayer();

  // Operations on the player (MainDlgCopy.cpp, MainDlgDelete.cpp).
  void OnCopyToPlayer();
  void OnFilesDropped(const std::vector<std::string>& sources);
  void CopyToPlayer(const std::vector<std::string>& sources);
  void OnDeleteFromPlayer();
  void OnEmptyPlayer();
  void OnCreateDirectory();
  // Counts off this thread, the player's controls off meanwhile, then goes on with the count.
  void CountThenAsk(std::function<koral::RemovalTally(std::stop_token)> count,
                    std::function<void(const koral::RemovalTally&)> then);

  std::unique_ptr<Ui::CMainDlg> m_ui;
  QAction* m_createDirectoryAction = nullptr;  // the player list menu's "Créer un répertoire"
  CNewFolderDlg* m_newFolderDlg = nullptr;     // kept for the whole run: it remembers the last name
  CFileOp* m_fileOp = nullptr;                 // the copy dialog, a child reused for every copy
  CRemovalCount* m_removalCount = nullptr;     // what a delete or an emptying would remove
  // Paths as the file system spells them, which need not be UTF-8.
  std::string m_configPath;
  std::string m_playerRoot;  // the player's mount point, no trailing slash
  bool m_playerFound = false;
  koral::RunContext& m_context;
  std::string m_missingNamedPlayer;  // a player named on the command line that is no folder
  int m_driveIndex = -1;
  int m_followPlaylist = 0;
  int m_copyMode = -1;
  int m_win98 = 0;
  std::optional<QRect> m_savedGeometry;
  CListIcons m_listIcons;  // shared by the panes, which it outlives
  std::unique_ptr<CFolderPane> m_computerPane;
  std::unique_ptr<CFolderPane> m_playerPane;             // its floor is the player root: it never leaves the player
  CConvertOption* m_convertOption = nullptr;             // the conversion on copy, and its converter
  std::unique_ptr<koral::MountTableWatch> m_mountWatch;  // none for a player named on the command line
  bool m_rescanPending = false;                          // the table changed while a copy or an eject held the player
  std::string m_requestedPlayer;                         // named by a later start, waiting for the player to be free
  std::thread m_ejectWorker;
  bool m_closingWithoutQuestions = false;
  bool m_closingSheets = false;  // their questions are being asked
};
