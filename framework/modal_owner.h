// Which window a modal dialog or message box opened without a parent belongs to.
//
// The setup thread has no window of its own to be modal to: what it opens belongs to the
// program's main window, on the main thread, which stays disabled meanwhile. Inside a
// modal dialog of the calling thread, it belongs to that dialog instead, so that closing
// a box re-enables the dialog it came from, not the main window beneath both.
#pragma once

#include <windows.h>

// The innermost modal dialog shown on the calling thread, else the program's main window;
// null when neither exists.
HWND GetModalOwner();

// Makes the dialog whose handle hDialog holds the calling thread's innermost modal dialog
// while the scope lives. The handle is read when asked for, so a dialog still being
// created (null handle) is passed over.
class CModalScope {
public:
    explicit CModalScope(const HWND& hDialog);
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;
    ~CModalScope();

private:
    friend HWND GetModalOwner();

    const HWND& m_hDialog;
    CModalScope* m_pOuter;
};
