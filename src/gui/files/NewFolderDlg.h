// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QDialog>
#include <QString>

namespace Ui {
class CNewFolderDlg;
}

// Asks for the name of a folder to create on the player. The main window
// keeps one for the whole run, so the name last confirmed comes back.
class CNewFolderDlg final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CNewFolderDlg)

 public:
  explicit CNewFolderDlg(QWidget* parent = nullptr);
  ~CNewFolderDlg() override;

  // Shows the name last confirmed, then runs modally.
  int exec() override;

  // The name as typed when OK was last pressed.
  const QString& FolderName() const { return m_folderName; }

 private:
  void OnOk();

  std::unique_ptr<Ui::CNewFolderDlg> m_ui;
  QString m_folderName;
};
