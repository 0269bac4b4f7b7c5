// What the end-to-end driver does to the windows of the program under test. Window
// handles are shared by every process on the desktop, so one driver run can find a
// window and a later run can act on it.
#pragma once

#include <windows.h>

#include <string>

// The first top-level window with this caption and/or class (an empty text matches any),
// waiting up to nTimeoutMs for it to appear; null when none appeared.
HWND WaitForTopLevelWindow(const std::string& strCaption, const std::string& strClass, DWORD nTimeoutMs);

// The first visible dialog (a box, a prompt) owned by hOwner, waiting up to nTimeoutMs for
// it to appear; null when none appeared.
HWND WaitForOwnedDialog(HWND hOwner, DWORD nTimeoutMs);

// True when hWnd went away within nTimeoutMs.
bool WaitForWindowGone(HWND hWnd, DWORD nTimeoutMs);

// hWnd itself for id 0, else its child control with that id.
HWND ControlOf(HWND hWnd, int nId);

// The window's text as the ANSI bytes the program set.
std::string WindowText(HWND hWnd);

// The standard icon a message box shows: "hand", "exclamation", "question",
// "asterisk", or "none".
std::string MessageBoxIcon(HWND hBox);

// Clicks a button the way the dialog manager reports it: a BN_CLICKED command to the
// button's parent. Posted, so a handler that opens a box of its own cannot stall us.
bool PressButton(HWND hDialog, int nId);

// Sets an edit field's text, as typing it would leave it.
bool TypeText(HWND hDialog, int nId, const std::string& strText);

// Sets a check box's state and tells the dialog, as a click would.
bool SetCheck(HWND hDialog, int nId, bool bChecked);

// The window's text in one read, so that a text changing meanwhile is never seen cut.
std::string WindowTextAtOnce(HWND hWnd);

// Moves the keyboard focus of hDialog to its control nId, as the dialog itself would.
bool FocusControl(HWND hDialog, int nId);

// 1 when the check box is ticked, 0 when not.
int CheckState(HWND hDialog, int nId);

// The visible child dialog of hDialog (the page it shows), or null.
HWND VisiblePage(HWND hDialog);

// Presses and releases the key nVirtualKey where the keyboard focus of hWnd's thread is,
// so that the program's own message loop sees it as it sees a typed key.
bool PostKey(HWND hWnd, UINT nVirtualKey);

// Reads the control's text as fast as it can and calls report for every text it shows
// that differs from the one before (empty texts are skipped), as long as the control is
// visible and report returns true, for at most nTimeoutMs. True when the control went
// away or out of sight, or report ended the watch.
template <class F>
bool WatchText(HWND hControl, DWORD nTimeoutMs, F report)
{
    const DWORD nStart = GetTickCount();
    std::string strLast;
    while (IsWindow(hControl) && IsWindowVisible(hControl)) {
        const std::string strText = WindowTextAtOnce(hControl);
        if (!strText.empty() && strText != strLast && !report(strText))
            return true;
        strLast = strText;
        if (GetTickCount() - nStart >= nTimeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}
