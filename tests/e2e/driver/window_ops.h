// What the end-to-end driver does to the windows of the program under test. Window
// handles are shared by every process on the desktop, so one driver run can find a
// window and a later run can act on it.
#pragma once

#include <windows.h>

#include <string>

// The first top-level window with this caption and/or class (an empty text matches any),
// waiting up to nTimeoutMs for it to appear; null when none appeared.
HWND WaitForTopLevelWindow(const std::string& strCaption, const std::string& strClass, DWORD nTimeoutMs);

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
