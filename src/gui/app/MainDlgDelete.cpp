#include "app/MainDlg.h"

void CMainDlg::OnDeleteFromPlayer() {}

void CMainDlg::OnEmptyPlayer() {}

void CMainDlg::OnCreateDirectory() {}
