// Owners of the window-related resources the screensaver window holds.
#pragma once

#include <windows.h>

// A timer of one window, killed when dropped (before the window is destroyed).
class CWindowTimer {
public:
    CWindowTimer(HWND hWnd, UINT_PTR nId, UINT nIntervalMs) : m_hWnd(hWnd), m_nId(SetTimer(hWnd, nId, nIntervalMs, nullptr)) {}
    CWindowTimer(const CWindowTimer&) = delete;
    CWindowTimer& operator=(const CWindowTimer&) = delete;
    ~CWindowTimer()
    {
        if (m_nId != 0)
            KillTimer(m_hWnd, m_nId);
    }

    bool IsValid() const { return m_nId != 0; }

private:
    HWND m_hWnd;
    UINT_PTR m_nId;
};

// The mouse cursor hidden for one scope: ShowCursor keeps a count, so every hide needs its show.
class CHiddenCursor {
public:
    CHiddenCursor() { ShowCursor(FALSE); }
    CHiddenCursor(const CHiddenCursor&) = delete;
    CHiddenCursor& operator=(const CHiddenCursor&) = delete;
    ~CHiddenCursor() { ShowCursor(TRUE); }
};
