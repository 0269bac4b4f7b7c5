#include "framework/dialog.h"

#include "framework/app.h"
#include "framework/data_exchange.h"
#include "framework/exception.h"

#include <commctrl.h>

namespace {
// Templates may hold common controls (the progress bar); their window classes exist
// only once the library has registered them.
void RegisterCommonControls()
{
    static const bool s_bDone = [] {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
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

HWND CDialog::CreateFromTemplate(UINT nIdTemplate, HWND hParent)
{
    RegisterCommonControls();
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIdTemplate), hParent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::DoModal()
{
    HWND hParent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    m_bModal = true;
    m_bEnded = false;
    m_nModalResult = -1;
    const bool bDisableParent = hParent != nullptr && IsWindowEnabled(hParent);
    if (bDisableParent)
        ::EnableWindow(hParent, FALSE);

    if (CreateFromTemplate(m_nIdTemplate, hParent) != nullptr) {
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
        if (m_hWnd == nullptr || !IsDialogMessageA(m_hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!ContinueModal())
            return;
    }
}

BOOL CDialog::Create(UINT nIdTemplate, CWnd* pParentWnd)
{
    m_nIdTemplate = nIdTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    return CreateFromTemplate(nIdTemplate, pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr) != nullptr;
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
