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

 signals:
  // A quit or save-and-quit button asks the sheet to close.
  void closeSheetRequested();
};
