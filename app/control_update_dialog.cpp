#include "app/control_update_dialog.h"

#include "framework/cmd_ui.h"

BOOL CControlUpdateDialog::ContinueModal()
{
    if (m_hWnd != nullptr) {
        UINT nIndex = 0;
        for (HWND hChild = GetWindow(m_hWnd, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            CCmdUI cmdUI(static_cast<UINT>(GetDlgCtrlID(hChild)), nIndex++, hChild);
            OnCmdUpdate(&cmdUI);
        }
    }
    return CDialog::ContinueModal();
}
