#pragma once

#include <QDialog>

// Placeholder until the dialog is built.
class CSoftPropDlg final : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(CSoftPropDlg)

 public:
  explicit CSoftPropDlg(QWidget* parent = nullptr);
};
