// Base of every window object: holds the window handle and dispatches messages
// through the class's message map.
#pragma once

#include "framework/message_map.h"

#include <windows.h>

#include <string>

class CCmdUI;

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    // Binds an existing window (a dialog's control) without taking ownership of it.
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach();

    HWND GetDlgItem(int nId) const { return ::GetDlgItem(m_hWnd, nId); }
    void SetDlgItemText(int nId, const std::string& strText) const;
    std::string GetDlgItemText(int nId) const;
    BOOL ShowWindow(int nCmdShow) const { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable) const { return ::EnableWindow(m_hWnd, bEnable); }

    // Looks the message up in the message maps, most derived class first, and calls the
    // handler. False when no entry matches or the handler leaves the message to the system.
    bool OnWndMsg(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Gives one control's turn of a command-update pass to its handler; false when the
    // maps have none for that control.
    bool OnCmdUpdate(CCmdUI* pCmdUI);

    HWND m_hWnd = nullptr;

protected:
    static const CMessageMap* GetThisMessageMap();
    virtual const CMessageMap* GetMessageMap() const;

private:
    const MessageMapEntry* FindEntry(UINT nMessage, UINT nCode, UINT nId) const;
};
