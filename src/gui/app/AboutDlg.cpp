// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/AboutDlg.h"

#include "core/about/VersionNotice.h"
#include "ui_AboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>()) {
  m_ui->setupUi(this);
  m_ui->iconLabel->setPixmap(QPixmap(QStringLiteral(":/icons/koral-config.png")));
  const QString licence =
      QString::fromUtf8(koral::kLicenceLine.data(), static_cast<qsizetype>(koral::kLicenceLine.size()));
  m_ui->licenceLabel->setText(
      QStringLiteral("<a href=\"https://gnu.org/licenses/gpl.html\">%1</a>").arg(licence.toHtmlEscaped()));
  connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

CAboutDlg::~CAboutDlg() = default;
