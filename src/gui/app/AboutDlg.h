// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class CAboutDlg;
}

class CAboutDlg final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CAboutDlg)

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
  ~CAboutDlg() override;

 private:
  std::unique_ptr<Ui::CAboutDlg> m_ui;
};
