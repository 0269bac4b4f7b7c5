#include "tests/win/setup_dialog_harness.h"

#include "app/page_sequence.h"
#include "res/resource.h"
#include "sys/my_exception.h"

#include <commctrl.h>

namespace {
constexpr UINT WM_TEST_STEP = WM_APP + 1;
constexpr UINT WM_WORKER_STEP = WM_APP + 2;
constexpr DWORD kCleanUpPauseMs = 300;
constexpr UINT kSendTimeoutMs = 5000;

HWND PageWindow(const CPageSequence* pPages, int nIndex)
{
    auto* pPage = pPages != nullptr ? dynamic_cast<CDialog*>(pPages->PageAt(nIndex)) : nullptr;
    return pPage != nullptr ? pPage->m_hWnd : nullptr;
}

std::string ItemText(HWND hDialog, int nId)
{
    char szText[512] = "";
    GetDlgItemTextA(hDialog, nId, szText, sizeof szText);
    return szText;
}

bool IsItemVisible(HWND hDialog, int nId)
{
    return IsWindowVisible(GetDlgItem(hDialog, nId)) != FALSE;
}

// A report sent as the run sends it, but given up after a while instead of blocking
// for good when the receiver does not pump; false then.
bool SendWithin(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR nResult = 0;
    return SendMessageTimeoutA(hWnd, nMessage, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &nResult) != 0;
}

bool IsItemEnabled(HWND hDialog, int nId)
{
    return IsWindowEnabled(GetDlgItem(hDialog, nId)) != FALSE;
}
} // namespace

CTestConfig::CTestConfig() : m_pConfig(AcquireSetupConfig())
{
    m_pConfig->m_strProgramFiles = "C:\\Program Files";
    m_pConfig->m_strName = "Night Lights";
}

CTestConfig::~CTestConfig()
{
    ReleaseSetupConfig(m_pConfig);
}

int CScriptedWorker::Run()
{
    WaitForSingleObject(m_pLink->m_hStartEvent.Get(), INFINITE);
    for (std::size_t i = 0; i < m_script.steps.size() && !m_bSawCancel; ++i) {
        const ScriptStep& step = m_script.steps[i];
        if (step.nPhase == CSetupThreadLink::PHASE_COMPLETED && m_script.bRestartNeeded) {
            CSetupConfig* pConfig = AcquireSetupConfig();
            pConfig->m_bRestartNeeded = TRUE;
            ReleaseSetupConfig(pConfig);
        }
        if (step.nPhase == CSetupThreadLink::PHASE_COPYING)
            m_pLink->Notify(FALSE, static_cast<WPARAM>(step.nPhase), reinterpret_cast<LPARAM>(step.pszFile));
        else
            m_pLink->Notify(TRUE, static_cast<WPARAM>(step.nPhase), 0);
        PostMessageA(m_pLink->m_hWndDialog, WM_WORKER_STEP, i, 0);
        m_bSawCancel = AwaitStep();
    }
    // A run that is cancelled may still report the file it was busy with.
    if (m_bSawCancel)
        m_bCleanUpSendTimedOut |= !SendWithin(m_pLink->m_hWndDialog, WM_SETUP_PHASE, CSetupThreadLink::PHASE_COPYING,
                                              reinterpret_cast<LPARAM>("late.scr"));
    m_bCleanUpSendTimedOut |= !SendWithin(m_pLink->m_hWndProgress, PBM_STEPIT, 0, 0);
    Sleep(kCleanUpPauseMs);
    m_pLink->Notify(TRUE, m_bSawCancel ? CSetupThreadLink::PHASE_FAILED : CSetupThreadLink::PHASE_COMPLETED, 0);
    SetEvent(m_pLink->m_hDoneEvent.Get());
    return m_bSawCancel ? 1 : 0;
}

bool CScriptedWorker::AwaitStep()
{
    if (!m_script.bBusyWithTheHeap) {
        // The cancel request first: when both are set, it wins.
        const HANDLE hEvents[] = {m_pLink->m_hCancelEvent.Get(), m_hStepEvent};
        return m_pLink->WaitFor(hEvents, 2) == 0;
    }
    while (WaitForSingleObject(m_hStepEvent, 0) != WAIT_OBJECT_0) {
        try {
            m_pLink->CheckCancel();
        } catch (CMyException* pException) {
            pException->Delete();
            return true;
        }
        std::vector<std::string> names;
        for (std::size_t n = 0; n < 64; ++n)
            names.emplace_back(100 + n, 'x');
    }
    return m_pLink->IsCancelRequested();
}

BEGIN_MESSAGE_MAP(CTestSetupDialog, CSetupDialog)
ON_MESSAGE(WM_TEST_STEP, OnTestStep)
ON_MESSAGE(WM_WORKER_STEP, OnWorkerStep)
END_MESSAGE_MAP()

CTestSetupDialog::CTestSetupDialog()
    : m_atLastStep(PressCancel), m_stepEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    SetFinishActions(&m_finishActions);
}

CTestSetupDialog::~CTestSetupDialog() = default;

BOOL CTestSetupDialog::OnInitDialog()
{
    const BOOL bResult = CSetupDialog::OnInitDialog();
    // Handled once the loop runs, after the dialog (and with it the pages) is shown.
    PostMessageA(m_hWnd, WM_TEST_STEP, 0, 0);
    return bResult;
}

LRESULT CTestSetupDialog::OnTestStep(WPARAM wParam, LPARAM)
{
    if (wParam >= m_steps.size())
        return 0;
    m_steps[wParam](*this);
    PostMessageA(m_hWnd, WM_TEST_STEP, wParam + 1, 0);
    return 0;
}

CWinThread* CTestSetupDialog::CreateSetupThread(CSetupThreadLink* pLink)
{
    ++m_nThreadsCreated;
    if (!m_bHasWorker)
        return nullptr;
    auto* pWorker = BeginThread<CScriptedWorker>(THREAD_PRIORITY_NORMAL, 0, true);
    if (pWorker != nullptr) {
        pWorker->m_pLink = pLink;
        pWorker->m_script = m_script;
        pWorker->m_hStepEvent = m_stepEvent.Get();
    }
    return pWorker;
}

LRESULT CTestSetupDialog::OnWorkerStep(WPARAM wParam, LPARAM)
{
    const HWND hDestination = DestinationPage();
    const HWND hFinish = FinishPage();
    LONG nPhase = 0;
    {
        CSetupConfig* pConfig = AcquireSetupConfig();
        nPhase = pConfig->m_nPhase;
        ReleaseSetupConfig(pConfig);
    }
    m_snapshots.push_back({static_cast<int>(wParam), nPhase, ItemText(hDestination, IDC_PAGE_TEXT),
                           IsWindowVisible(hDestination) != FALSE, IsItemEnabled(hDestination, IDC_DESTINATION),
                           IsItemEnabled(hDestination, IDC_BROWSE), IsWindowVisible(hFinish) != FALSE,
                           IsItemVisible(hFinish, IDC_RESTART), IsDlgButtonChecked(hFinish, IDC_RESTART),
                           IsDlgButtonChecked(hFinish, IDC_SHOW_PROPERTIES), ItemText(hFinish, IDC_PAGE_TEXT),
                           IsItemVisible(m_hWnd, IDC_PROGRESS), IsItemVisible(m_hWnd, IDC_START),
                           ItemText(m_hWnd, IDCANCEL)});
    if (static_cast<int>(wParam) == m_nCancelAtStep) {
        // The worker waits here until the user has answered.
        PressCancel(*this);
        return 0;
    }
    if (wParam + 1 == m_script.steps.size() && m_atLastStep)
        m_atLastStep(*this);
    ReleaseWorker();
    return 0;
}

HWND CTestSetupDialog::DestinationPage() const
{
    return PageWindow(m_pPages.get(), 0);
}

HWND CTestSetupDialog::FinishPage() const
{
    return PageWindow(m_pPages.get(), 1);
}

HWND CTestSetupDialog::PathField() const
{
    return ::GetDlgItem(DestinationPage(), IDC_DESTINATION);
}

CScriptedWorker* CTestSetupDialog::Worker() const
{
    return static_cast<CScriptedWorker*>(m_pThread.get());
}

void EnterPathAndStart(CTestSetupDialog& dialog, const std::string& strPath)
{
    SetWindowTextA(dialog.PathField(), strPath.c_str());
    PostMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START, BN_CLICKED), 0);
}

void PressCancel(const CTestSetupDialog& dialog)
{
    PostMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

std::string ValidDestination()
{
    return "C:\\Program Files\\Night Lights";
}

bool IsEventSet(HANDLE hEvent)
{
    return WaitForSingleObject(hEvent, 0) == WAIT_OBJECT_0;
}
