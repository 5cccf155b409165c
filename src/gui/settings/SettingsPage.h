// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// One tab of the settings sheet. Its constructor is its initialisation: a
// page is built, and reads the player, the first time its tab is shown.
class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // The user leaves the tab.
  virtual void OnKillActive() {}

  // True while the page shows values that differ from what it last read
  // from or wrote to the player; a field being typed in is taken first.
  virtual bool HoldsUnwrittenChanges() { return false; }

  // Writes those values through the page's own save; false when they could
  // not be written (the user has been told).
  virtual bool SaveChanges() { return true; }

 signals:
  // A save-and-quit button asks the sheet to close, once its page is saved.
  void closeSheetRequested();
  // A quit button: the user chose to close without writing anything.
  void quitWithoutSavingRequested();
};
