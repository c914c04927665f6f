// The profile commands arrive with the profile work, which replaces this file.

#include "tarvo_dlg.h"

void CTarvoDlg::OnLoad() {}
void CTarvoDlg::OnSave() {}
void CTarvoDlg::OnSetDefault() {}
void CTarvoDlg::OnDelete() {}
void CTarvoDlg::OnSelEndOkProfile() {}
