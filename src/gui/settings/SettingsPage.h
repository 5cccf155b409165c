// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// One tab of the settings sheet. Building a page reads nothing: the sheet
// builds it and calls Load() the first time its tab is shown, and calls
// StoreOptions() when the tab is left and when the sheet closes.
class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;

  // Reads what the page shows from Config.ini and from the player; a
  // settings image that cannot be read ends the program here.
  virtual void Load() = 0;

  // Writes the page's own options (not the player's settings) to Config.ini.
  virtual void StoreOptions() {}

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
