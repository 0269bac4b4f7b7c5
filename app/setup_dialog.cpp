#include "app/setup_dialog.h"

#include "app/finish_page.h"
#include "app/item_message.h"
#include "app/page_sequence.h"
#include "app/setup_config_ref.h"
#include "app/setup_thread_link.h"
#include "engine/setup_thread.h"
#include "framework/data_exchange.h"
#include "framework/pumping_wait.h"
#include "framework/win_thread.h"
#include "res/resource.h"
#include "sys/access_check.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"
#include "ui/destination_page.h"

namespace {
constexpr unsigned kInternalErrorMessage = 5;
constexpr unsigned kCancelQuestionMessage = 8;
constexpr unsigned kFinishCaptionMessage = 27;
constexpr unsigned kCompletedCaptionMessage = 30;
constexpr unsigned kPreparingMessage = 57;
constexpr unsigned kCopyingMessage = 75;
constexpr unsigned kInvalidPathMessage = 84;
constexpr unsigned kStartCaptionMessage = 87;
constexpr unsigned kCreatingFoldersMessage = 166;
constexpr unsigned kFinishingMessage = 202;

CSystemFinishActions& SystemFinishActions()
{
    static CSystemFinishActions s_actions;
    return s_actions;
}

bool IsSet(const CHandle& hEvent)
{
    return WaitForSingleObject(hEvent.Get(), 0) == WAIT_OBJECT_0;
}
} // namespace

BEGIN_MESSAGE_MAP(CSetupDialog, CControlUpdateDialog)
ON_MESSAGE(WM_SETUP_PHASE, OnSetupPhase)
ON_WM_DESTROY()
ON_WM_SHOWWINDOW()
ON_BN_CLICKED(IDC_START, OnStart)
END_MESSAGE_MAP()

CSetupDialog::CSetupDialog() : CControlUpdateDialog(IDD_SETUP), m_pFinishActions(&SystemFinishActions()) {}

CSetupDialog::~CSetupDialog()
{
    // Every ending of the dialog has waited for the thread already; should one ever
    // not, the link must still outlive the thread's last use of it.
    if (m_pThread != nullptr && m_pLink != nullptr) {
        if (!IsSet(m_pLink->m_hDoneEvent))
            SetEvent(m_pLink->m_hCancelEvent.Get());
        WaitUntilThreadDone();
        // Done is the thread's last act, but its object must not go while it returns.
        WaitForSingleObject(m_pThread->GetHandle(), INFINITE);
    }
    // The link's events close only once the thread is done with them.
    m_pLink.reset();
}

void CSetupDialog::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_WEB_LINK, m_link);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

BOOL CSetupDialog::OnInitDialog()
{
    CControlUpdateDialog::OnInitDialog();
    UpdateData(TRUE);
    SetItemMessage(*this, IDCANCEL, kFinishCaptionMessage);
    SetItemMessage(*this, IDC_START, kStartCaptionMessage);
    if (!RunAccessCheck()) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;
}

BOOL CSetupDialog::RunAccessCheck()
{
    return CheckAccessRights() != 0;
}

CWinThread* CSetupDialog::CreateSetupThread(CSetupThreadLink* pLink)
{
    CSetupThread* pThread = BeginThread<CSetupThread>(THREAD_PRIORITY_NORMAL, 0, true);
    if (pThread == nullptr)
        return nullptr;
    pThread->m_pLink = pLink;
    pLink->m_pThread = pThread;
    return pThread;
}

BOOL CSetupDialog::ContinueModal()
{
    if (m_pPages != nullptr)
        m_pPages->UpdateCurrent();
    return CControlUpdateDialog::ContinueModal();
}

void CSetupDialog::OnShowWindow(BOOL bShow, UINT)
{
    if (bShow && m_pPages == nullptr)
        CreatePages();
}

void CSetupDialog::CreatePages()
{
    m_pPages = std::make_unique<CPageSequence>();
    RECT rcArea = {};
    GetWindowRect(GetDlgItem(IDC_PAGE_AREA), &rcArea);
    MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcArea), 2);

    CSetupPageDialog* const pages[] = {new CDestinationPage, new CFinishPage};
    for (CSetupPageDialog* pPage : pages) {
        pPage->CreatePage(this);
        ::MoveWindow(pPage->m_hWnd, rcArea.left, rcArea.top, rcArea.right - rcArea.left, rcArea.bottom - rcArea.top,
                     TRUE);
        if (!m_pPages->Add(pPage))
            pPage->ReleasePage();
    }
    m_pPages->GoTo(0);
}

void CSetupDialog::OnDestroy()
{
    m_pPages.reset();
}

void CSetupDialog::OnOK() {}

void CSetupDialog::OnStart()
{
    // A Start that is not the user's (the button is hidden once the run starts) must not
    // start a second run.
    if (m_pLink != nullptr || m_pPages == nullptr)
        return;
    UpdateData(TRUE);
    auto* pDestination = dynamic_cast<CDestinationPage*>(m_pPages->PageAt(0));
    if (pDestination == nullptr)
        return;
    pDestination->StoreDestination();
    std::string strDestination;
    {
        CSetupConfigRef config;
        strDestination = config->m_strDestination;
    }
    if (CDestinationPage::CheckDestination(strDestination) != DestinationVerdict::Accepted) {
        MessageBoxByNumber(kInvalidPathMessage, MB_ICONEXCLAMATION);
        return;
    }

    m_progress.ShowWindow(SW_SHOW);
    // The button about to vanish may hold the focus. The keyboard goes to the bar, where
    // Enter does nothing and Esc still reaches Cancel; on the Cancel button itself Enter
    // would press it and ask whether to stop the run.
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_progress.m_hWnd), TRUE);
    ::ShowWindow(GetDlgItem(IDC_START), SW_HIDE);

    try {
        m_pLink = std::make_unique<CSetupThreadLink>();
    } catch (CMyException* pException) {
        // Without its events no thread can be run: the same end as a thread that cannot
        // be created.
        pException->Delete();
    }
    if (m_pLink != nullptr) {
        m_pLink->m_hWndDialog = m_hWnd;
        m_pLink->m_hWndProgress = m_progress.m_hWnd;
        m_pThread.reset(CreateSetupThread(m_pLink.get()));
    }
    if (m_pThread == nullptr) {
        MessageBoxByNumber(kInternalErrorMessage, MB_ICONHAND);
        EndDialog(IDCANCEL);
        return;
    }
    SetEvent(m_pLink->m_hStartEvent.Get());
    m_pThread->ResumeThread();
    StoreThreadPhase(CSetupThreadLink::PHASE_PREPARING);
}

LRESULT CSetupDialog::OnSetupPhase(WPARAM wParam, LPARAM lParam)
{
    // Once cancelling, the thread's reports are stale: it stops at its next check.
    if (m_pLink != nullptr && m_pLink->IsCancelRequested())
        return 1;
    UpdateData(TRUE);
    const int nPhase = static_cast<int>(wParam);
    switch (nPhase) {
    case CSetupThreadLink::PHASE_PREPARING:
    case CSetupThreadLink::PHASE_CREATING_FOLDERS:
    case CSetupThreadLink::PHASE_COPYING:
    case CSetupThreadLink::PHASE_FINISHING:
        ShowStatus(nPhase, lParam);
        break;
    case CSetupThreadLink::PHASE_COMPLETED:
        OnPhaseCompleted();
        break;
    case CSetupThreadLink::PHASE_FAILED:
        // The thread has told the user already; it only has its clean-up left.
        if (IsThreadRunning()) {
            SetEvent(m_pLink->m_hCancelEvent.Get());
            WaitUntilThreadDone();
        }
        EndDialog(IDCANCEL);
        break;
    default:
        break;
    }
    StoreThreadPhase(nPhase);
    return 1;
}

void CSetupDialog::ShowStatus(int nPhase, LPARAM lParam)
{
    std::string strText;
    switch (nPhase) {
    case CSetupThreadLink::PHASE_PREPARING:
        LoadMessage(kPreparingMessage, strText);
        break;
    case CSetupThreadLink::PHASE_CREATING_FOLDERS:
        LoadMessage(kCreatingFoldersMessage, strText);
        break;
    case CSetupThreadLink::PHASE_COPYING:
        // Sent, not posted: the name lives only while this message is handled.
        FormatOne(strText, kCopyingMessage, reinterpret_cast<const char*>(lParam));
        break;
    case CSetupThreadLink::PHASE_FINISHING:
        LoadMessage(kFinishingMessage, strText);
        break;
    default:
        return;
    }
    auto* pDestination = m_pPages != nullptr ? dynamic_cast<CDestinationPage*>(m_pPages->PageAt(0)) : nullptr;
    if (pDestination != nullptr)
        pDestination->SetStatusText(strText);
}

void CSetupDialog::OnPhaseCompleted()
{
    SetItemMessage(*this, IDCANCEL, kCompletedCaptionMessage);
    if (m_pPages != nullptr) {
        m_pPages->UpdateCurrent();
        m_pPages->Next();
    }
    m_progress.ShowWindow(SW_HIDE);
}

void CSetupDialog::StoreThreadPhase(int nPhase) const
{
    CSetupConfigRef config;
    config->m_nPhase = nPhase;
}

void CSetupDialog::OnCancel()
{
    LONG nPhase = CSetupThreadLink::PHASE_NOT_STARTED;
    {
        CSetupConfigRef config;
        nPhase = config->m_nPhase;
    }
    if (nPhase == CSetupThreadLink::PHASE_NOT_STARTED || nPhase == CSetupThreadLink::PHASE_COMPLETED)
        FinishSetup();
    else
        OfferCancel();
}

void CSetupDialog::FinishSetup()
{
    // After the first PHASE_COMPLETED the thread still cleans up and then uses the link
    // once more; the link dies with this dialog, and a restart would cut the clean-up
    // short.
    WaitUntilThreadDone();
    {
        CSetupConfigRef config;
        if (m_pPages != nullptr)
            m_pPages->UpdateCurrent();
        CarryOutFinishChoices(*config, *m_pFinishActions);
    }
    EndDialog(IDCANCEL);
}

void CSetupDialog::OfferCancel()
{
    // Held still while the user decides, so that nothing moves behind the question. The
    // thread first stops itself where it holds no lock the question's box may need, and
    // only then is suspended; a thread already done is left alone.
    const bool bHeld = m_pThread != nullptr && m_pLink != nullptr && m_pLink->Hold();
    if (m_pLink != nullptr && !bHeld) {
        // The run ended before it could be held: there is nothing left to cancel. Its last
        // phase is on its way and brings the finish page, or ends a failed run.
        m_pLink->Release();
        return;
    }
    if (bHeld)
        m_pThread->SuspendThread();
    const bool bCancel = MessageBoxByNumber(kCancelQuestionMessage, MB_YESNO | MB_ICONQUESTION) == IDYES;
    const bool bRunning = bCancel && IsThreadRunning();
    if (bRunning)
        SetEvent(m_pLink->m_hCancelEvent.Get());
    if (bHeld)
        m_pThread->ResumeThread();
    if (m_pLink != nullptr)
        m_pLink->Release();
    if (!bCancel)
        return;
    if (bRunning)
        WaitUntilThreadDone();
    EndDialog(IDCANCEL);
}

bool CSetupDialog::IsThreadRunning() const
{
    DWORD nExitCode = 0;
    return m_pThread != nullptr && GetExitCodeThread(m_pThread->GetHandle(), &nExitCode) &&
           nExitCode == STILL_ACTIVE;
}

void CSetupDialog::WaitUntilThreadDone() const
{
    if (m_pThread != nullptr && m_pLink != nullptr)
        PumpingWait(m_pLink->m_hDoneEvent.Get());
}
