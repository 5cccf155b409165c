// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/files/NewFolderDlg.h"

#include "ui_NewFolderDlg.h"

CNewFolderDlg::CNewFolderDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CNewFolderDlg>()) {
  m_ui->setupUi(this);
  connect(m_ui->okButton, &QPushButton::clicked, this, &CNewFolderDlg::OnOk);
  connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

CNewFolderDlg::~CNewFolderDlg() = default;

int CNewFolderDlg::exec() {
  m_ui->folderNameEdit->setText(m_folderName);
  // Selected, so that typing replaces the last name rather than adding to it.
  m_ui->folderNameEdit->selectAll();
  m_ui->folderNameEdit->setFocus();
  return QDialog::exec();
}

void CNewFolderDlg::OnOk() {
  m_folderName = m_ui->folderNameEdit->text();
  accept();
}
