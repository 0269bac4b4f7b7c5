#include "app/setup_page_dialog.h"

BOOL CSetupPageDialog::Activate()
{
    ShowWindow(SW_SHOW);
    // The dialog hands the focus on to its control that last had it, or its first.
    SetFocus(m_hWnd);
    return TRUE;
}

BOOL CSetupPageDialog::Deactivate(BOOL)
{
    ShowWindow(SW_HIDE);
    return TRUE;
}

void CSetupPageDialog::ReleasePage()
{
    delete this;
}

void CSetupPageDialog::OnOK() {}

void CSetupPageDialog::OnCancel() {}
