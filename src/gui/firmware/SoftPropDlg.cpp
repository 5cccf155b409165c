#include "firmware/SoftPropDlg.h"

CSoftPropDlg::CSoftPropDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Firmware et profils"));
}
