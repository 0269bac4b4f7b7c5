#include "framework/dialog.h"

#include "framework/app.h"
#include "framework/common_controls.h"
#include "framework/data_exchange.h"
#include "framework/exception.h"
#include "framework/modal_owner.h"

#include <cstring>
#include <vector>

namespace {
// Templates may hold common controls (the progress bar); their window classes exist
// only once the library has registered them.
void RegisterCommonControls()
{
    static const bool s_bDone = RegisterControlClasses(ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES);
    (void)s_bDone;
}

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT nMessage)
{
    switch (nMessage) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

bool IsInputMessage(UINT nMessage)
{
    return (nMessage >= WM_KEYFIRST && nMessage <= WM_KEYLAST) || (nMessage >= WM_MOUSEFIRST && nMessage <= WM_MOUSELAST);
}

// The keys the dialog manager turns into IDOK and IDCANCEL.
bool IsEndingKey(const MSG& msg)
{
    return msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE || msg.wParam == VK_CANCEL);
}

bool IsChildWindow(HWND hWnd)
{
    return (GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD) != 0;
}

// A copy of template nIdTemplate without WS_VISIBLE, held in DWORDs for the alignment
// the system expects; empty when the template cannot be found.
std::vector<DWORD> LoadHiddenTemplate(HINSTANCE hInstance, UINT nIdTemplate)
{
    HRSRC hResource = FindResourceA(hInstance, MAKEINTRESOURCEA(nIdTemplate), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    const DWORD nSize = hResource != nullptr ? SizeofResource(hInstance, hResource) : 0;
    const void* pBytes = nSize != 0 ? LockResource(LoadResource(hInstance, hResource)) : nullptr;
    if (pBytes == nullptr || nSize < sizeof(DLGTEMPLATE))
        return {};
    std::vector<DWORD> copy((nSize + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    std::memcpy(copy.data(), pBytes, nSize);
    // An extended template (version 1, signature 0xFFFF) keeps its style after the help
    // id and the extended style; the classic one starts with it.
    WORD header[2];
    std::memcpy(header, copy.data(), sizeof header);
    const std::size_t nStyleIndex = header[0] == 1 && header[1] == 0xFFFF ? 3 : 0;
    copy[nStyleIndex] &= ~static_cast<DWORD>(WS_VISIBLE);
    return copy;
}
} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIdTemplate, CWnd* pParentWnd) : m_nIdTemplate(nIdTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd)) {
        // The window outlives its object only by mistake; cut the link first so that
        // the messages of its destruction do not reach a half-destroyed object.
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

HWND CDialog::CreateFromTemplate(UINT nIdTemplate, HWND hParent, bool bHidden)
{
    RegisterCommonControls();
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    if (!bHidden)
        return CreateDialogParamA(hInstance, MAKEINTRESOURCEA(nIdTemplate), hParent, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    // The system shows a WS_VISIBLE template as soon as WM_INITDIALOG returns, even when
    // the dialog has just been ended there; without the style, showing is ours to do.
    const std::vector<DWORD> hiddenTemplate = LoadHiddenTemplate(hInstance, nIdTemplate);
    if (hiddenTemplate.empty())
        return nullptr;
    return CreateDialogIndirectParamA(hInstance, reinterpret_cast<LPCDLGTEMPLATEA>(hiddenTemplate.data()), hParent,
                                      DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::DoModal()
{
    // Without a parent the dialog belongs where a box would (the setup thread's disk
    // prompt to the main dialog), and keeps it disabled while it is up.
    HWND hParent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : GetModalOwner();
    const CModalScope scope(m_hWnd);
    m_bModal = true;
    m_bEnded = false;
    m_nModalResult = -1;
    const bool bDisableParent = hParent != nullptr && IsWindowEnabled(hParent);
    if (bDisableParent)
        ::EnableWindow(hParent, FALSE);

    if (CreateFromTemplate(m_nIdTemplate, hParent, true) != nullptr) {
        // OnInitDialog may already have ended the dialog; it is then never shown.
        if (!m_bEnded) {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            RunModalLoop();
        }
        // Hide before destroying so that activation goes back to the parent, not to
        // whatever window the system would pick.
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (bDisableParent) {
        ::EnableWindow(hParent, TRUE);
        SetActiveWindow(hParent);
    }
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    for (;;) {
        const BOOL bGot = GetMessageA(&msg, nullptr, 0, 0);
        if (bGot == 0) {
            // WM_QUIT belongs to the outer loop; leave it in the queue for it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (bGot == -1)
            return;
        if (!WalkPreTranslate(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!ContinueModal())
            return;
    }
}

bool CDialog::WalkPreTranslate(MSG* pMsg)
{
    // The parent of a top-level window is its owner, whose keys are its own: the walk
    // stops at the first window that is not a child.
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = GetParent(hWnd)) {
        CDialog* pDialog = FromHandle(hWnd);
        if (pDialog != nullptr && pDialog->PreTranslateMessage(pMsg))
            return true;
        if (hWnd == m_hWnd || !IsChildWindow(hWnd))
            break;
    }
    return false;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (m_hWnd == nullptr || !IsInputMessage(pMsg->message))
        return FALSE;
    if (IsChildWindow(m_hWnd) && !IsEndingKey(*pMsg))
        return FALSE;
    return IsDialogMessageA(m_hWnd, pMsg);
}

CDialog* CDialog::FromHandle(HWND hWnd)
{
    // DWLP_USER holds the object only in windows that run our dialog procedure; any other
    // window may use that slot, or not have it at all.
    if (hWnd == nullptr || GetClassWord(hWnd, GCW_ATOM) != LOWORD(reinterpret_cast<ULONG_PTR>(WC_DIALOG)))
        return nullptr;
    if (GetWindowLongPtrA(hWnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
}

BOOL CDialog::Create(UINT nIdTemplate, CWnd* pParentWnd)
{
    m_nIdTemplate = nIdTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    if (CreateFromTemplate(nIdTemplate, pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, false) == nullptr)
        return FALSE;
    if (IsChildWindow(m_hWnd))
        SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModal) {
        m_bEnded = true;
        // Wakes the loop when the dialog is ended from inside another loop (a message
        // box's); the next dispatched message then ends ours.
        if (m_hWnd != nullptr)
            PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd != nullptr) {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::ContinueModal()
{
    return m_bModal && !m_bEnded && m_hWnd != nullptr;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate != FALSE);
    try {
        DoDataExchange(&dx);
    } catch (CException* pException) {
        pException->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDialog = nullptr;
    if (nMessage == WM_INITDIALOG) {
        pDialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        pDialog->m_hWnd = hWnd;
    } else {
        pDialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    }
    if (pDialog == nullptr)
        return FALSE;

    INT_PTR nResult = FALSE;
    // The one place where the program's code is called from the system's window
    // procedure: nothing may be thrown through the system's frames.
    try {
        nResult = pDialog->HandleMessage(nMessage, wParam, lParam);
    } catch (CException* pException) {
        ReportBoundaryException(pException, nMessage);
        if (nMessage == WM_INITDIALOG)
            pDialog->EndDialog(-1);
    } catch (...) {
        ReportBoundaryException(nullptr, nMessage);
        if (nMessage == WM_INITDIALOG)
            pDialog->EndDialog(-1);
    }
    if (nMessage == WM_NCDESTROY) {
        SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDialog->m_hWnd = nullptr;
    }
    return nResult;
}

INT_PTR CDialog::HandleMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_INITDIALOG)
        return OnInitDialog();
    LRESULT lResult = 0;
    if (!OnWndMsg(nMessage, wParam, lParam, &lResult))
        return FALSE;
    if (ReturnsResultDirectly(nMessage))
        return static_cast<INT_PTR>(lResult);
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}
