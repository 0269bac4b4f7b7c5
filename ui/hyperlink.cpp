#include "ui/hyperlink.h"

#include "framework/app.h"
#include "framework/common_controls.h"
#include "framework/data_exchange.h"
#include "framework/exception.h"
#include "framework/message_box.h"

#include <vector>

namespace {
// Offset of the reflected notifications, the one OLE controls use: a notification sent
// back to its control as this plus the original message number.
constexpr UINT kReflectBase = 0x2000;
constexpr UINT kReflectedCommand = kReflectBase + WM_COMMAND;
constexpr UINT kReflectedCtlColorStatic = kReflectBase + WM_CTLCOLORSTATIC;

constexpr UINT_PTR kControlSubclassId = 1;
constexpr UINT_PTR kToolId = 1;
// The hand cursor of the Windows help program, the classic link cursor.
constexpr int kHelpHandCursor = 106;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// A point packed into a message parameter; the coordinates are signed, since a captured
// mouse reports points left of or above the control as negative.
POINT UnpackPoint(DWORD_PTR nPacked)
{
    return {static_cast<short>(LOWORD(nPacked)), static_cast<short>(HIWORD(nPacked))};
}

CLinkOpener& SystemOpener()
{
    static CLinkOpener s_opener;
    return s_opener;
}

std::string WindowText(HWND hWnd)
{
    const int nLength = GetWindowTextLengthA(hWnd);
    std::vector<char> buffer(static_cast<std::size_t>(nLength) + 1, '\0');
    const int nCopied = GetWindowTextA(hWnd, buffer.data(), nLength + 1);
    return std::string(buffer.data(), static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
}

// The control's device context with the link's font selected, for measuring.
class CFontDC {
public:
    CFontDC(HWND hWnd, HFONT hFont) : m_hWnd(hWnd), m_hDC(GetDC(hWnd)), m_hOldFont(SelectObject(m_hDC, hFont)) {}
    CFontDC(const CFontDC&) = delete;
    CFontDC& operator=(const CFontDC&) = delete;
    ~CFontDC()
    {
        SelectObject(m_hDC, m_hOldFont);
        ReleaseDC(m_hWnd, m_hDC);
    }
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
    HGDIOBJ m_hOldFont;
};
} // namespace

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
ON_MESSAGE(kReflectedCommand, OnReflectedCommand)
ON_MESSAGE(kReflectedCtlColorStatic, OnReflectedCtlColor)
ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel()
    : m_crLinkColour(RGB(0, 0, 238)), m_crVisitedColour(RGB(85, 26, 139)), m_crHoverColour(GetSysColor(COLOR_HIGHLIGHT)),
      m_pOpener(&SystemOpener())
{
}

CLinkLabel::~CLinkLabel()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
        // The window outlives the object: it goes back to being a plain static text
        // before the font it shows is deleted.
        SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_hOriginalFont), FALSE);
        Release();
    }
}

BOOL CLinkLabel::SubclassWindow(HWND hWnd)
{
    if (m_hWnd != nullptr || !IsWindow(hWnd))
        return FALSE;
    if (!SubclassControl(hWnd, ControlProc, kControlSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_hWnd = hWnd;
    m_hParent = GetParent(hWnd);
    if (m_hParent != nullptr)
        SubclassControl(m_hParent, ParentProc, reinterpret_cast<UINT_PTR>(this), reinterpret_cast<DWORD_PTR>(this));
    SetUp();
    return TRUE;
}

void CLinkLabel::SetVisited(BOOL bVisited)
{
    m_bVisited = bVisited;
    if (m_hWnd != nullptr && IsWindow(m_hWnd))
        InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CLinkLabel::SetUp()
{
    // Without SS_NOTIFY a static text is transparent to the mouse and reports no clicks.
    SetWindowLongPtrA(m_hWnd, GWL_STYLE, GetWindowLongPtrA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
    const std::string strText = WindowText(m_hWnd);
    if (m_strAddress.empty())
        m_strAddress = strText;
    if (strText.empty())
        SetWindowTextA(m_hWnd, m_strAddress.c_str());
    SetUnderlinedFont();
    FitToText();
    LoadLinkCursor();
    CreateToolTip();
}

void CLinkLabel::SetUnderlinedFont()
{
    m_hOriginalFont = reinterpret_cast<HFONT>(SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    LOGFONTA font = {};
    GetObjectA(m_hOriginalFont != nullptr ? static_cast<HGDIOBJ>(m_hOriginalFont) : GetStockObject(SYSTEM_FONT),
               sizeof font, &font);
    font.lfUnderline = m_bUnderline ? TRUE : FALSE;
    m_font.Reset(CreateFontIndirectA(&font));
    SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Get()), TRUE);
}

void CLinkLabel::FitToText()
{
    if (m_hWnd == nullptr || !m_bAdjustToFit)
        return;
    RECT rect;
    GetWindowRect(m_hWnd, &rect);
    MapWindowPoints(nullptr, m_hParent, reinterpret_cast<POINT*>(&rect), 2);

    const std::string strText = WindowText(m_hWnd);
    SIZE extent = {};
    {
        const CFontDC dc(m_hWnd, m_font.Get());
        GetTextExtentPoint32A(dc.Get(), strText.c_str(), static_cast<int>(strText.size()), &extent);
    }

    const LONG_PTR nStyle = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    if ((nStyle & SS_CENTERIMAGE) != 0) {
        const LONG nShrink = (rect.bottom - rect.top - extent.cy) / 2;
        rect.top += nShrink;
        rect.bottom -= nShrink;
    } else {
        rect.bottom = rect.top + extent.cy;
    }
    if ((nStyle & SS_CENTER) != 0) {
        const LONG nShrink = (rect.right - rect.left - extent.cx) / 2;
        rect.left += nShrink;
        rect.right -= nShrink;
    } else if ((nStyle & SS_RIGHT) != 0) {
        rect.left = rect.right - extent.cx;
    } else {
        rect.right = rect.left + extent.cx;
    }
    SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
}

void CLinkLabel::LoadLinkCursor()
{
    if (m_linkCursor.Get() != nullptr)
        return;
    char szPath[MAX_PATH] = "";
    const UINT nLength = GetWindowsDirectoryA(szPath, sizeof szPath);
    if (nLength != 0 && nLength < sizeof szPath) {
        const CLibraryHandle help(LoadLibraryA((std::string(szPath) + "\\winhlp32.exe").c_str()));
        if (help.Get() != nullptr) {
            if (HCURSOR hHand = LoadCursorA(help.Get(), MAKEINTRESOURCEA(kHelpHandCursor)))
                m_linkCursor.Reset(CopyIcon(hHand));
        }
    }
    // Systems without the help program, or whose help program lacks the cursor, have a
    // hand of their own.
    if (m_linkCursor.Get() == nullptr) {
        if (HCURSOR hHand = LoadCursorA(nullptr, IDC_HAND))
            m_linkCursor.Reset(CopyIcon(hHand));
    }
}

void CLinkLabel::CreateToolTip()
{
    m_toolTip.Reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (m_toolTip.Get() == nullptr)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hWnd;
    tool.uId = kToolId;
    GetClientRect(m_hWnd, &tool.rect);
    tool.lpszText = const_cast<char*>(m_strAddress.c_str());
    SendMessageA(m_toolTip.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CLinkLabel::RelayToToolTip(UINT nMessage, WPARAM wParam, LPARAM lParam) const
{
    // The tooltip learns where the mouse is only from the messages relayed to it; it
    // ignores every message but the mouse's.
    if (m_toolTip.Get() == nullptr || nMessage < WM_MOUSEFIRST || nMessage > WM_MOUSELAST)
        return;
    MSG msg = {m_hWnd, nMessage, wParam, lParam, static_cast<DWORD>(GetMessageTime()), UnpackPoint(GetMessagePos())};
    SendMessageA(m_toolTip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void CLinkLabel::Redraw() const
{
    RedrawWindow(m_hWnd, nullptr, nullptr, kRedrawNow);
}

LRESULT CLinkLabel::OnReflectedCommand(WPARAM wParam, LPARAM)
{
    if (HIWORD(wParam) == STN_CLICKED)
        OnClicked();
    return 0;
}

LRESULT CLinkLabel::OnReflectedCtlColor(WPARAM wParam, LPARAM)
{
    const HDC hDC = reinterpret_cast<HDC>(wParam);
    SetTextColor(hDC, m_bOverControl ? m_crHoverColour : m_bVisited ? m_crVisitedColour : m_crLinkColour);
    SetBkMode(hDC, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT CLinkLabel::OnSetCursor(WPARAM, LPARAM)
{
    if (m_linkCursor.Get() == nullptr)
        return FALSE;
    SetCursor(m_linkCursor.Get());
    return TRUE;
}

LRESULT CLinkLabel::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = DefaultSubclassProc(m_hWnd, WM_MOUSEMOVE, wParam, lParam);
    if (!m_bOverControl) {
        m_bOverControl = TRUE;
        Redraw();
        SetCapture(m_hWnd);
        return lResult;
    }
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!PtInRect(&client, UnpackPoint(static_cast<DWORD_PTR>(lParam)))) {
        m_bOverControl = FALSE;
        ReleaseCapture();
        Redraw();
    }
    return lResult;
}

void CLinkLabel::OnClicked()
{
    const int nResult = m_pOpener->Open(m_strAddress, SW_SHOW);
    SetVisited(nResult > 32);
    if (nResult <= 32) {
        MessageBeep(MB_ICONEXCLAMATION);
        ShowMessageBox("Unable to open hyperlink:\n\n" + CLinkOpener::DescribeResult(nResult), MB_ICONEXCLAMATION);
    }
}

void CLinkLabel::Release()
{
    RemoveControlSubclass(m_hWnd, ControlProc, kControlSubclassId);
    if (m_hParent != nullptr)
        RemoveControlSubclass(m_hParent, ParentProc, reinterpret_cast<UINT_PTR>(this));
    m_toolTip.Reset();
    m_font.Reset();
    m_hParent = nullptr;
    m_hWnd = nullptr;
}

LRESULT CALLBACK CLinkLabel::ControlProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR pThis)
{
    CLinkLabel* pLink = reinterpret_cast<CLinkLabel*>(pThis);
    if (nMessage == WM_NCDESTROY) {
        pLink->Release();
        return DefaultSubclassProc(hWnd, nMessage, wParam, lParam);
    }
    // Nothing may be thrown through the system's frames.
    try {
        pLink->RelayToToolTip(nMessage, wParam, lParam);
        LRESULT lResult = 0;
        if (pLink->OnWndMsg(nMessage, wParam, lParam, &lResult))
            return lResult;
    } catch (CException* pException) {
        ReportBoundaryException(pException, nMessage);
        return 0;
    } catch (...) {
        ReportBoundaryException(nullptr, nMessage);
        return 0;
    }
    return DefaultSubclassProc(hWnd, nMessage, wParam, lParam);
}

LRESULT CALLBACK CLinkLabel::ParentProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR pThis)
{
    const CLinkLabel* pLink = reinterpret_cast<const CLinkLabel*>(pThis);
    const bool bFromLink = reinterpret_cast<HWND>(lParam) == pLink->m_hWnd && pLink->m_hWnd != nullptr;
    if (bFromLink && (nMessage == WM_COMMAND || nMessage == WM_CTLCOLORSTATIC))
        return SendMessageA(pLink->m_hWnd, kReflectBase + nMessage, wParam, lParam);
    return DefaultSubclassProc(hWnd, nMessage, wParam, lParam);
}

void DDX_Control(CDataExchange* pDX, int nId, CLinkLabel& link)
{
    if (link.m_hWnd == nullptr)
        link.SubclassWindow(pDX->PrepareCtrl(nId));
}
