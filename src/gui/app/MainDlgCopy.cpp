#include "app/MainDlg.h"

void CMainDlg::OnCopyToPlayer() {}
