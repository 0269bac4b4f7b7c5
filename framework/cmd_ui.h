// One control's turn in a command-update pass: its id, its place in the pass and the
// control itself. A handler enables or disables the control through it.
#pragma once

#include <windows.h>

class CCmdUI {
public:
    CCmdUI(UINT nID, UINT nIndex, HWND hWndOther) : m_nID(nID), m_nIndex(nIndex), m_hWndOther(hWndOther) {}

    void Enable(BOOL bOn = TRUE);

    UINT m_nID;
    UINT m_nIndex;
    HWND m_hWndOther;
};
