#include "window_ops.h"

#include <vector>

namespace {
// The control in a message box that shows its icon.
constexpr int kMessageBoxIconId = 1088;
constexpr DWORD kPollMs = 50;
// A box is found as soon as it is visible, which can be before its icon is painted.
constexpr DWORD kPaintGraceMs = 3000;
// How long a focus change asked of another program may take.
constexpr DWORD kFocusGraceMs = 3000;

struct FindRequest {
    const std::string* pstrCaption;
    const std::string* pstrClass;
    HWND hFound;
};

// A copy of what the screen shows inside one window, in 32-bit pixels.
class CScreenPicture {
public:
    explicit CScreenPicture(HWND hWnd)
    {
        RECT rect;
        POINT origin = {0, 0};
        if (!GetClientRect(hWnd, &rect) || !ClientToScreen(hWnd, &origin))
            return;
        m_nWidth = rect.right;
        m_nHeight = rect.bottom;
        if (m_nWidth <= 0 || m_nHeight <= 0)
            return;
        HDC hScreen = GetDC(nullptr);
        m_pixels = Capture([&](HDC hMemory) {
            BitBlt(hMemory, 0, 0, m_nWidth, m_nHeight, hScreen, origin.x, origin.y, SRCCOPY);
        });
        ReleaseDC(nullptr, hScreen);
    }

    bool IsValid() const { return !m_pixels.empty(); }

    // True when hIcon, drawn at the top left on the background colour of the picture's
    // corner, gives exactly the same pixels.
    bool Matches(HICON hIcon) const
    {
        const DWORD dwCorner = m_pixels[static_cast<std::size_t>(m_nHeight - 1) * static_cast<std::size_t>(m_nWidth)];
        const COLORREF background = RGB((dwCorner >> 16) & 0xFF, (dwCorner >> 8) & 0xFF, dwCorner & 0xFF);
        return Capture([&](HDC hMemory) {
                   HBRUSH hBrush = CreateSolidBrush(background);
                   RECT rect = {0, 0, m_nWidth, m_nHeight};
                   FillRect(hMemory, &rect, hBrush);
                   DeleteObject(hBrush);
                   DrawIconEx(hMemory, 0, 0, hIcon, 0, 0, 0, nullptr, DI_NORMAL);
               }) == m_pixels;
    }

private:
    // Lets paint draw into a memory bitmap of the picture's size and returns its pixels.
    template <class F>
    std::vector<DWORD> Capture(F paint) const
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = m_nWidth;
        info.bmiHeader.biHeight = m_nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* pBits = nullptr;
        HDC hMemory = CreateCompatibleDC(nullptr);
        HBITMAP hBitmap = CreateDIBSection(hMemory, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        std::vector<DWORD> pixels;
        if (hBitmap != nullptr) {
            HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
            paint(hMemory);
            GdiFlush();
            const DWORD* pFirst = static_cast<const DWORD*>(pBits);
            pixels.assign(pFirst, pFirst + static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight));
            SelectObject(hMemory, hOld);
            DeleteObject(hBitmap);
        }
        DeleteDC(hMemory);
        return pixels;
    }

    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<DWORD> m_pixels;
};

BOOL CALLBACK MatchTopLevel(HWND hWnd, LPARAM lParam)
{
    FindRequest* pRequest = reinterpret_cast<FindRequest*>(lParam);
    if (!IsWindowVisible(hWnd))
        return TRUE;
    if (!pRequest->pstrCaption->empty() && WindowText(hWnd) != *pRequest->pstrCaption)
        return TRUE;
    if (!pRequest->pstrClass->empty()) {
        char szClass[256] = "";
        GetClassNameA(hWnd, szClass, sizeof szClass);
        if (lstrcmpiA(szClass, pRequest->pstrClass->c_str()) != 0)
            return TRUE;
    }
    pRequest->hFound = hWnd;
    return FALSE;
}

struct OwnedRequest {
    HWND hOwner;
    HWND hFound;
};

BOOL CALLBACK MatchOwnedDialog(HWND hWnd, LPARAM lParam)
{
    OwnedRequest* pRequest = reinterpret_cast<OwnedRequest*>(lParam);
    char szClass[16] = "";
    GetClassNameA(hWnd, szClass, sizeof szClass);
    if (!IsWindowVisible(hWnd) || GetWindow(hWnd, GW_OWNER) != pRequest->hOwner || lstrcmpA(szClass, "#32770") != 0)
        return TRUE;
    pRequest->hFound = hWnd;
    return FALSE;
}

// Polls find() until it gives a window or nTimeoutMs has passed.
template <class Find>
HWND WaitFor(DWORD nTimeoutMs, Find find)
{
    const DWORD nStart = GetTickCount();
    for (;;) {
        if (HWND hFound = find())
            return hFound;
        if (GetTickCount() - nStart >= nTimeoutMs)
            return nullptr;
        Sleep(kPollMs);
    }
}
} // namespace

HWND WaitForOwnedDialog(HWND hOwner, DWORD nTimeoutMs)
{
    return WaitFor(nTimeoutMs, [&] {
        OwnedRequest request = {hOwner, nullptr};
        EnumWindows(MatchOwnedDialog, reinterpret_cast<LPARAM>(&request));
        return request.hFound;
    });
}

HWND WaitForTopLevelWindow(const std::string& strCaption, const std::string& strClass, DWORD nTimeoutMs)
{
    return WaitFor(nTimeoutMs, [&] {
        FindRequest request = {&strCaption, &strClass, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&request));
        return request.hFound;
    });
}

bool WaitForWindowGone(HWND hWnd, DWORD nTimeoutMs)
{
    const DWORD nStart = GetTickCount();
    while (IsWindow(hWnd)) {
        if (GetTickCount() - nStart >= nTimeoutMs)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

HWND ControlOf(HWND hWnd, int nId)
{
    return nId == 0 ? hWnd : GetDlgItem(hWnd, nId);
}

std::string WindowText(HWND hWnd)
{
    // WM_GETTEXT across processes: the system copies the text for us.
    const LRESULT nLength = SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::string strText(static_cast<std::size_t>(nLength) + 1, '\0');
    const LRESULT nCopied = SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(strText.size()), reinterpret_cast<LPARAM>(&strText[0]));
    strText.resize(static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
    return strText;
}

std::string MessageBoxIcon(HWND hBox)
{
    HWND hIcon = GetDlgItem(hBox, kMessageBoxIconId);
    if (hIcon == nullptr || !IsWindowVisible(hIcon))
        return "none";
    // Icon handles belong to the process that loaded them, so the box's handle means
    // nothing here. Compare pictures instead: what the screen shows in the icon control
    // against each standard icon drawn here on the same background. The control may not
    // be painted yet when the box is found: ask for a paint and look again until a
    // standard icon shows or the grace period ends; only a box without one waits it out.
    const struct {
        LPCSTR pszId;
        const char* pszName;
    } icons[] = {{IDI_HAND, "hand"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_QUESTION, "question"}, {IDI_ASTERISK, "asterisk"}};
    const DWORD nStart = GetTickCount();
    for (;;) {
        RedrawWindow(hIcon, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        CScreenPicture shown(hIcon);
        std::string strSeen = "unreadable";
        if (shown.IsValid()) {
            // A box without an icon leaves the control blank: nothing drawn matches it.
            strSeen = shown.Matches(nullptr) ? "none" : "other";
            for (const auto& icon : icons) {
                if (shown.Matches(LoadIconA(nullptr, icon.pszId)))
                    return icon.pszName;
            }
        }
        if (GetTickCount() - nStart >= kPaintGraceMs)
            return strSeen;
        Sleep(kPollMs);
    }
}

bool PressButton(HWND hDialog, int nId)
{
    HWND hButton = GetDlgItem(hDialog, nId);
    if (hButton == nullptr)
        return false;
    return PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(hButton)) != FALSE;
}

bool TypeText(HWND hDialog, int nId, const std::string& strText)
{
    HWND hEdit = GetDlgItem(hDialog, nId);
    if (hEdit == nullptr)
        return false;
    return SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.c_str())) != FALSE;
}

bool SetCheck(HWND hDialog, int nId, bool bChecked)
{
    HWND hBox = GetDlgItem(hDialog, nId);
    if (hBox == nullptr)
        return false;
    SendMessageA(hBox, BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    return PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(hBox)) != FALSE;
}

HWND VisiblePage(HWND hDialog)
{
    for (HWND hChild = GetWindow(hDialog, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        char szClass[16] = "";
        GetClassNameA(hChild, szClass, sizeof szClass);
        if (lstrcmpA(szClass, "#32770") == 0 && IsWindowVisible(hChild))
            return hChild;
    }
    return nullptr;
}

bool PostKey(HWND hWnd, UINT nVirtualKey)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(hWnd, nullptr), &info) || info.hwndFocus == nullptr)
        return false;
    const UINT nScan = MapVirtualKeyA(nVirtualKey, MAPVK_VK_TO_VSC);
    const LPARAM nDown = 1 | static_cast<LPARAM>(nScan) << 16;
    const LPARAM nUp = nDown | 0xC0000000L;
    return PostMessageA(info.hwndFocus, WM_KEYDOWN, nVirtualKey, nDown) && PostMessageA(info.hwndFocus, WM_KEYUP, nVirtualKey, nUp);
}

std::string WindowTextAtOnce(HWND hWnd)
{
    char szText[4096] = "";
    const LRESULT nCopied = SendMessageA(hWnd, WM_GETTEXT, sizeof szText, reinterpret_cast<LPARAM>(szText));
    return std::string(szText, static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
}

bool FocusControl(HWND hDialog, int nId)
{
    HWND hControl = GetDlgItem(hDialog, nId);
    if (hControl == nullptr || !PostMessageA(hDialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hControl), TRUE))
        return false;
    // Done once the dialog's thread has moved it, so that a key typed next lands there.
    const DWORD nStart = GetTickCount();
    for (;;) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(hDialog, nullptr), &info) && info.hwndFocus == hControl)
            return true;
        if (GetTickCount() - nStart >= kFocusGraceMs)
            return false;
        Sleep(kPollMs);
    }
}

int CheckState(HWND hDialog, int nId)
{
    return SendDlgItemMessageA(hDialog, nId, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}
