#include "end_session_refuser.h"

namespace {
constexpr char kClassName[] = "LumidropEndSessionRefuser";
// After saying no, long enough for Wine's closing WM_ENDSESSION to arrive.
constexpr DWORD kLingerMs = 1000;

bool g_bAsked = false;

LRESULT CALLBACK RefuserProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_QUERYENDSESSION) {
        g_bAsked = true;
        return FALSE;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

// Handles messages until bStop or nMs have passed.
void Pump(DWORD nMs, const bool& bStop)
{
    const DWORD nStart = GetTickCount();
    while (!bStop && GetTickCount() - nStart < nMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
}
} // namespace

bool RefuseEndOfSession(DWORD nTimeoutMs, void (*reportReady)())
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = RefuserProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0)
        return false;
    HWND hWnd = CreateWindowA(kClassName, kClassName, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (hWnd == nullptr)
        return false;
    reportReady();
    Pump(nTimeoutMs, g_bAsked);
    if (g_bAsked) {
        const bool bNever = false;
        Pump(kLingerMs, bNever);
    }
    DestroyWindow(hWnd);
    return g_bAsked;
}
