#include "scr/saver_window.h"

#include <windowsx.h>

#include <cstdlib>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMs = 33;
// A table knocked or a hand resting on the mouse moves it a little; that is no wish to stop.
constexpr int kMouseSlack = 4;

} // namespace

CSaverWindow::CSaverWindow(const CFxLibrary& fx, const SSaverSettings& settings)
    : m_scene(fx, settings, GetTickCount())
{
}

bool CSaverWindow::Register(HINSTANCE hInstance) const
{
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = hInstance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

bool CSaverWindow::CreateFullScreen(HINSTANCE hInstance)
{
    if (!Register(hInstance))
        return false;
    m_bFullScreen = true;
    GetCursorPos(&m_ptStart);
    m_pHiddenCursor = std::make_unique<CHiddenCursor>();
    // Every monitor at once: the virtual screen may start left of or above the primary one.
    m_hWnd = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "Lumidrop", WS_POPUP | WS_VISIBLE,
                             GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                             GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                             nullptr, hInstance, this);
    if (m_hWnd != nullptr)
        SetForegroundWindow(m_hWnd);
    return m_hWnd != nullptr;
}

bool CSaverWindow::CreatePreview(HINSTANCE hInstance, HWND hParent)
{
    RECT rect;
    if (!IsWindow(hParent) || !GetClientRect(hParent, &rect) || !Register(hInstance))
        return false;
    m_hWnd = CreateWindowExA(0, kClassName, "Lumidrop", WS_CHILD | WS_VISIBLE, 0, 0, rect.right, rect.bottom,
                             hParent, nullptr, hInstance, this);
    return m_hWnd != nullptr;
}

LRESULT CALLBACK CSaverWindow::WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE) {
        auto* pWindow = static_cast<CSaverWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        pWindow->m_hWnd = hWnd;
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pWindow));
    }
    auto* pWindow = reinterpret_cast<CSaverWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (pWindow == nullptr)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    // No exception may cross into the system's dispatch; the screensaver simply ends.
    try {
        return pWindow->OnMessage(nMessage, wParam, lParam);
    } catch (...) {
        DestroyWindow(hWnd);
        return 0;
    }
}

LRESULT CSaverWindow::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_bFullScreen && EndsOnInput(nMessage, wParam, lParam)) {
        Close();
        return 0;
    }
    switch (nMessage) {
    case WM_CREATE:
        m_pTimer = std::make_unique<CWindowTimer>(m_hWnd, kFrameTimer, kFrameMs);
        return m_pTimer->IsValid() ? 0 : -1;
    case WM_TIMER: {
        RECT rect;
        GetClientRect(m_hWnd, &rect);
        m_scene.Step(rect.right, rect.bottom);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (!m_bFullScreen)
            break;
        SetCursor(nullptr);
        return TRUE;
    case WM_SYSCOMMAND:
        // Windows asks again for a screensaver while one runs; one is enough.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE)
            return 0;
        break;
    case WM_DESTROY:
        m_pTimer.reset();
        m_pHiddenCursor.reset();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
}

bool CSaverWindow::EndsOnInput(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    case WM_MOUSEMOVE: {
        POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(m_hWnd, &point);
        return std::abs(point.x - m_ptStart.x) > kMouseSlack || std::abs(point.y - m_ptStart.y) > kMouseSlack;
    }
    case WM_ACTIVATEAPP:
        // Another program came to the front (Alt+Tab, a dialog): the screensaver gives way,
        // but only once it has been in front itself, as Wine may start it inactive.
        if (wParam != FALSE)
            m_bWasActive = true;
        return wParam == FALSE && m_bWasActive;
    default:
        return false;
    }
}

void CSaverWindow::Close()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void CSaverWindow::Paint()
{
    CPaintDC paint(m_hWnd);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    if (rect.right <= 0 || rect.bottom <= 0)
        return;
    // Drawn off screen first, so the drops never flicker against the background.
    CMemoryDC memory(paint.Get());
    CBitmap frame(CreateCompatibleBitmap(paint.Get(), rect.right, rect.bottom));
    CSelection selection(memory.Get(), frame.Get());
    m_scene.Paint(memory.Get(), rect.right, rect.bottom);
    BitBlt(paint.Get(), 0, 0, rect.right, rect.bottom, memory.Get(), 0, 0, SRCCOPY);
}
