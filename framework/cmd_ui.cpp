#include "framework/cmd_ui.h"

void CCmdUI::Enable(BOOL bOn)
{
    if (m_hWndOther == nullptr)
        return;
    // A control that loses the enabled state while it has the focus would leave the
    // dialog without a focus for the keyboard; pass it on first.
    if (!bOn && GetFocus() == m_hWndOther) {
        HWND hParent = GetParent(m_hWndOther);
        if (hParent != nullptr)
            SendMessageA(hParent, WM_NEXTDLGCTL, 0, FALSE);
    }
    EnableWindow(m_hWndOther, bOn);
}
