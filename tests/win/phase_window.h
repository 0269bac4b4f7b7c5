// A message-only window in the setup dialog's place: it takes the setup thread's phase
// messages in the order the thread delivered them, and any other message its owner wants.
#pragma once

#include "app/setup_thread_link.h"

#include <windows.h>

class CPhaseWindowBase {
public:
    explicit CPhaseWindowBase(const char* pszClass)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &CPhaseWindowBase::Proc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = pszClass;
        RegisterClassA(&windowClass);
        m_hWnd = CreateWindowExA(0, pszClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    CPhaseWindowBase(const CPhaseWindowBase&) = delete;
    CPhaseWindowBase& operator=(const CPhaseWindowBase&) = delete;
    virtual ~CPhaseWindowBase() { DestroyWindow(m_hWnd); }

    HWND Handle() const { return m_hWnd; }

protected:
    // WM_SETUP_PHASE: the phase in wParam, for PHASE_COPYING the file name in lParam.
    virtual void OnPhase(WPARAM wParam, LPARAM lParam) = 0;
    virtual LRESULT OnOtherMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
    {
        auto* pThis = reinterpret_cast<CPhaseWindowBase*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (pThis == nullptr)
            return DefWindowProcA(hWnd, nMessage, wParam, lParam);
        if (InSendMessage()) {
            // A sent message overtakes the phases posted before it; they came first.
            MSG msg;
            while (PeekMessageA(&msg, hWnd, WM_SETUP_PHASE, WM_SETUP_PHASE, PM_REMOVE))
                DispatchMessageA(&msg);
        }
        if (nMessage != WM_SETUP_PHASE)
            return pThis->OnOtherMessage(nMessage, wParam, lParam);
        pThis->OnPhase(wParam, lParam);
        return 0;
    }

    HWND m_hWnd = nullptr;
};
