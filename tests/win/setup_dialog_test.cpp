// The main dialog's run: Start and the destination check, the setup thread's phases on
// the pages, the finish page and its choices, cancelling, failing, and the dialog's
// own ending before it is shown.
#include "app/finish_actions.h"
#include "framework/pumping_wait.h"
#include "res/resource.h"
#include "sys/message_text.h"
#include "tests/common/message_box_recorder.h"
#include "tests/win/hang_watch.h"
#include "tests/win/run_once_value.h"
#include "tests/win/sent_message_hook.h"
#include "tests/win/setup_dialog_harness.h"

#include <gtest/gtest.h>

namespace {
using Link = CSetupThreadLink;

const WorkerScript kSuccessfulRun = {
    {{Link::PHASE_PREPARING}, {Link::PHASE_CREATING_FOLDERS}, {Link::PHASE_COPYING, "file.scr"},
     {Link::PHASE_FINISHING}, {Link::PHASE_COMPLETED}},
    false};

std::string Message(unsigned nId)
{
    std::string strText;
    EXPECT_TRUE(LoadMessage(nId, strText)) << nId;
    return strText;
}


// Answers the cancel question and notes whether the worker was held still meanwhile.
// Before the last of nTimes answers, Cancel is pressed again.
class CCancelAnswerer {
public:
    CCancelAnswerer(CTestSetupDialog& dialog, int nAnswer, std::size_t nTimes = 1)
    {
        m_previous = SetMessageBoxAnswerer([this, &dialog, nAnswer, nTimes](const std::string& strText, unsigned nStyle) {
            m_boxes.push_back({strText, nStyle});
            const HANDLE hWorker = dialog.Worker()->GetHandle();
            m_bWorkerAlwaysSuspended &= SuspendThread(hWorker) >= 1;
            ResumeThread(hWorker);
            if (m_boxes.size() < nTimes)
                PressCancel(dialog);
            else
                dialog.ReleaseWorker(); // held, the worker cannot run on before the dialog lets it
            return nAnswer;
        });
    }
    CCancelAnswerer(const CCancelAnswerer&) = delete;
    CCancelAnswerer& operator=(const CCancelAnswerer&) = delete;
    ~CCancelAnswerer() { SetMessageBoxAnswerer(m_previous); }

    std::vector<ShownBox> m_boxes;
    bool m_bWorkerAlwaysSuspended = true;

private:
    MessageBoxAnswerer m_previous;
};

int CountChildDialogs(HWND hParent)
{
    int nCount = 0;
    for (HWND hChild = GetWindow(hParent, GW_CHILD); hChild != nullptr; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
        char szClass[16] = "";
        GetClassNameA(hChild, szClass, sizeof szClass);
        nCount += std::string(szClass) == "#32770" ? 1 : 0;
    }
    return nCount;
}

// Sees every message sent on this thread; showing a top-level window is one of them.
bool g_bTopLevelShown = false;
LRESULT CALLBACK NoteShowing(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* pMessage = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && pMessage->message == WM_SHOWWINDOW && pMessage->wParam != 0 &&
        GetParent(pMessage->hwnd) == nullptr)
        g_bTopLevelShown = true;
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

class SetupDialogRun : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(TakeRunOnceValue(), ""); }

    // A successful run started at once, Cancel pressed at its second step.
    static void CancelAtSecondStep(CTestSetupDialog& dialog)
    {
        dialog.m_bHasWorker = true;
        dialog.m_script = kSuccessfulRun;
        dialog.m_nCancelAtStep = 1;
        dialog.m_steps = {[](CTestSetupDialog& d) { EnterPathAndStart(d, ValidDestination()); }};
    }

    CTestConfig m_config;
};
} // namespace

TEST_F(SetupDialogRun, InvalidPathIsRefusedAndNothingStarts)
{
    CMessageBoxRecorder recorder;
    CTestSetupDialog dialog;
    dialog.m_steps = {
        [](CTestSetupDialog& d) { EnterPathAndStart(d, "C:Night Lights"); },
        [](CTestSetupDialog& d) {
            EXPECT_FALSE(IsWindowVisible(d.GetDlgItem(IDC_PROGRESS)));
            EXPECT_TRUE(IsWindowVisible(d.GetDlgItem(IDC_START)));
            EXPECT_TRUE(IsWindowEnabled(d.PathField()));
            d.EndDialog(77);
        },
    };
    EXPECT_EQ(dialog.DoModal(), 77);
    ASSERT_EQ(recorder.m_boxes.size(), 1u);
    EXPECT_EQ(recorder.m_boxes[0].strText, Message(84));
    EXPECT_EQ(recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONEXCLAMATION));
    EXPECT_EQ(dialog.m_nThreadsCreated, 0);
    EXPECT_EQ(m_config->m_nPhase, Link::PHASE_NOT_STARTED);
    EXPECT_EQ(m_config->m_strDestination, "C:Night Lights");
}

TEST_F(SetupDialogRun, ThreadThatCannotBeCreatedEndsTheDialog)
{
    CMessageBoxRecorder recorder;
    CTestSetupDialog dialog;
    dialog.m_steps = {[](CTestSetupDialog& d) { EnterPathAndStart(d, ValidDestination()); }};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_nThreadsCreated, 1);
    ASSERT_EQ(recorder.m_boxes.size(), 1u);
    EXPECT_EQ(recorder.m_boxes[0].strText, Message(5));
    EXPECT_EQ(recorder.m_boxes[0].nStyle, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_TRUE(dialog.m_finishActions.m_started.empty());
}

TEST_F(SetupDialogRun, PhasesShowTheirTextsThenTheFinishPage)
{
    CMessageBoxRecorder recorder;
    CTestSetupDialog dialog;
    dialog.m_bHasWorker = true;
    dialog.m_script = kSuccessfulRun;
    dialog.m_steps = {[](CTestSetupDialog& d) { EnterPathAndStart(d, ValidDestination()); }};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(recorder.m_boxes.empty());
    EXPECT_EQ(m_config->m_strDestination, ValidDestination());

    std::string strCopying;
    FormatOne(strCopying, 75, "file.scr");
    const std::string kStatus[] = {Message(57), Message(166), strCopying, Message(202)};
    ASSERT_EQ(dialog.m_snapshots.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        const Snapshot& shot = dialog.m_snapshots[static_cast<std::size_t>(i)];
        EXPECT_EQ(shot.nPhase, i);
        EXPECT_EQ(shot.strStatus, kStatus[i]) << i;
        EXPECT_TRUE(shot.bDestinationVisible);
        EXPECT_FALSE(shot.bFinishVisible);
        EXPECT_FALSE(shot.bPathEnabled);
        EXPECT_FALSE(shot.bBrowseEnabled);
        EXPECT_TRUE(shot.bProgressVisible);
        EXPECT_FALSE(shot.bStartVisible);
        EXPECT_EQ(shot.strCancelCaption, Message(27));
    }
    const Snapshot& done = dialog.m_snapshots[4];
    EXPECT_EQ(done.nPhase, Link::PHASE_COMPLETED);
    EXPECT_FALSE(done.bDestinationVisible);
    EXPECT_TRUE(done.bFinishVisible);
    EXPECT_EQ(done.strResultText, Message(217));
    EXPECT_EQ(done.nPropertiesCheck, static_cast<UINT>(BST_CHECKED));
    EXPECT_FALSE(done.bRestartVisible);
    EXPECT_EQ(done.nRestartCheck, static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(done.bProgressVisible);
    EXPECT_FALSE(done.bStartVisible);
    EXPECT_EQ(done.strCancelCaption, Message(30));

    // Finish waited for the thread's clean-up, and then showed the properties.
    EXPECT_TRUE(IsEventSet(dialog.Link()->m_hDoneEvent.Get()));
    EXPECT_FALSE(dialog.Worker()->m_bCleanUpSendTimedOut);
    EXPECT_EQ(dialog.m_finishActions.m_started, std::vector<std::string>{kPropertiesCommand});
    EXPECT_TRUE(dialog.m_finishActions.m_restarts.empty());
}

TEST_F(SetupDialogRun, RestartNeededOffersBothChoicesAndFinishCarriesOutTheTicked)
{
    struct Case {
        bool bUntickRestart;
        std::string strRunOnce;
        std::vector<std::string> started;
        std::size_t nRestarts;
    };
    const Case kCases[] = {
        {false, kPropertiesCommand, {}, 1},
        {true, "", {kPropertiesCommand}, 0},
    };
    for (const Case& c : kCases) {
        CTestSetupDialog dialog;
        dialog.m_bHasWorker = true;
        dialog.m_script = kSuccessfulRun;
        dialog.m_script.bRestartNeeded = true;
        dialog.m_steps = {[](CTestSetupDialog& d) { EnterPathAndStart(d, ValidDestination()); }};
        dialog.m_atLastStep = [&c](CTestSetupDialog& d) {
            if (c.bUntickRestart)
                CheckDlgButton(d.FinishPage(), IDC_RESTART, BST_UNCHECKED);
            PressCancel(d);
        };
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        ASSERT_EQ(dialog.m_snapshots.size(), 5u);
        const Snapshot& done = dialog.m_snapshots[4];
        EXPECT_EQ(done.strResultText, Message(220));
        EXPECT_TRUE(done.bRestartVisible);
        EXPECT_EQ(done.nRestartCheck, static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(done.nPropertiesCheck, static_cast<UINT>(BST_CHECKED));

        EXPECT_EQ(TakeRunOnceValue(), c.strRunOnce) << c.bUntickRestart;
        EXPECT_EQ(dialog.m_finishActions.m_started, c.started) << c.bUntickRestart;
        ASSERT_EQ(dialog.m_finishActions.m_restarts.size(), c.nRestarts) << c.bUntickRestart;
        if (c.nRestarts != 0) {
            EXPECT_TRUE(dialog.m_finishActions.m_restarts[0]) << "the NT family needs the shutdown privilege";
        }
    }
}

// A busy run holds the heap's lock again and again, and the question's box needs the heap:
// suspended at the wrong moment, the run would keep the box waiting for ever. The run must
// be held only where it holds no lock; asked many times, the question still comes.
TEST_F(SetupDialogRun, CancelAnsweredNoLetsTheRunGoOn)
{
    struct Case {
        std::size_t nQuestions;
        bool bBusyWithTheHeap;
    };
    for (const Case& c : {Case{1, false}, Case{100, true}}) {
        SCOPED_TRACE(c.nQuestions);
        const CHangWatch watch(60000);
        CTestSetupDialog dialog;
        CCancelAnswerer answerer(dialog, IDNO, c.nQuestions);
        CancelAtSecondStep(dialog);
        dialog.m_script.bBusyWithTheHeap = c.bBusyWithTheHeap;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        ASSERT_EQ(answerer.m_boxes.size(), c.nQuestions);
        EXPECT_EQ(answerer.m_boxes[0].strText, Message(8));
        EXPECT_EQ(answerer.m_boxes[0].nStyle, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_TRUE(answerer.m_bWorkerAlwaysSuspended);
        // Every phase after the question still arrived, and the run ended on the finish page.
        EXPECT_FALSE(dialog.Worker()->m_bSawCancel);
        ASSERT_EQ(dialog.m_snapshots.size(), 5u);
        EXPECT_TRUE(dialog.m_snapshots[4].bFinishVisible);
    }
}

TEST_F(SetupDialogRun, CancelAnsweredYesStopsTheRunAndWaitsForIt)
{
    CTestSetupDialog dialog;
    CCancelAnswerer answerer(dialog, IDYES);
    CancelAtSecondStep(dialog);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(answerer.m_boxes.size(), 1u);
    EXPECT_TRUE(answerer.m_bWorkerAlwaysSuspended);
    EXPECT_TRUE(dialog.Worker()->m_bSawCancel);
    EXPECT_TRUE(IsEventSet(dialog.Link()->m_hCancelEvent.Get()));
    // The dialog ended only once the thread was done, and let its reports through
    // meanwhile; the late one about a file found the cancel raised and changed nothing.
    EXPECT_TRUE(IsEventSet(dialog.Link()->m_hDoneEvent.Get()));
    EXPECT_FALSE(dialog.Worker()->m_bCleanUpSendTimedOut);
    EXPECT_EQ(m_config->m_nPhase, Link::PHASE_CREATING_FOLDERS);
    EXPECT_EQ(dialog.m_snapshots.size(), 2u);
    EXPECT_TRUE(dialog.m_finishActions.m_started.empty());
    EXPECT_TRUE(dialog.m_finishActions.m_restarts.empty());
}

// Cancel pressed after the thread ended, before its last phase arrived: there is nothing
// left to cancel, and the finish page comes as it would have without the click.
TEST_F(SetupDialogRun, CancelAfterTheRunEndedIsNotAskedAndTheFinishPageComes)
{
    CMessageBoxRecorder recorder;
    CTestSetupDialog dialog;
    dialog.m_bHasWorker = true;
    // The worker reports PHASE_COMPLETED by itself once its script has ended.
    dialog.m_script = {{{Link::PHASE_PREPARING}, {Link::PHASE_FINISHING}}, false};
    dialog.m_steps = {[](CTestSetupDialog& d) { EnterPathAndStart(d, ValidDestination()); }};
    dialog.m_atLastStep = [](CTestSetupDialog& d) {
        d.ReleaseWorker();
        // Sent messages only: the worker's PHASE_COMPLETED stays queued behind this.
        PumpingWait(d.Link()->m_hDoneEvent.Get());
        SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PressCancel(d); // Finish, once the finish page is there
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(recorder.m_boxes.empty()) << recorder.m_boxes.front().strText;
    EXPECT_EQ(m_config->m_nPhase, Link::PHASE_COMPLETED);
    EXPECT_EQ(dialog.m_finishActions.m_started, std::vector<std::string>{kPropertiesCommand});
}

TEST_F(SetupDialogRun, FailedPhaseEndsTheDialogOnceTheThreadIsDone)
{
    CMessageBoxRecorder recorder;
    CTestSetupDialog dialog;
    dialog.m_bHasWorker = true;
    dialog.m_script = {{{Link::PHASE_PREPARING}, {Link::PHASE_FAILED}}, false};
    dialog.m_steps = {[](CTestSetupDialog& d) { EnterPathAndStart(d, ValidDestination()); }};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(recorder.m_boxes.empty());
    EXPECT_EQ(m_config->m_nPhase, Link::PHASE_FAILED);
    EXPECT_TRUE(dialog.Worker()->m_bSawCancel);
    EXPECT_TRUE(IsEventSet(dialog.Link()->m_hDoneEvent.Get()));
    EXPECT_FALSE(dialog.Worker()->m_bCleanUpSendTimedOut);
    EXPECT_TRUE(dialog.m_finishActions.m_started.empty());
}

TEST_F(SetupDialogRun, FinishBeforeStartEndsWithoutActions)
{
    CMessageBoxRecorder recorder;
    CTestSetupDialog dialog;
    dialog.m_steps = {PressCancel};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(recorder.m_boxes.empty());
    EXPECT_TRUE(dialog.m_finishActions.m_started.empty());
    EXPECT_TRUE(dialog.m_finishActions.m_restarts.empty());
}

TEST_F(SetupDialogRun, PagesAreCreatedOnTheFirstShowOnly)
{
    CTestSetupDialog dialog;
    HWND hFirst = nullptr;
    dialog.m_steps = {
        [&hFirst](CTestSetupDialog& d) {
            hFirst = d.DestinationPage();
            ASSERT_NE(hFirst, nullptr);
            EXPECT_TRUE(IsWindowVisible(hFirst));
            EXPECT_FALSE(IsWindowVisible(d.FinishPage()));
            d.ShowWindow(SW_HIDE);
            d.ShowWindow(SW_SHOW);
        },
        [&hFirst](CTestSetupDialog& d) {
            EXPECT_EQ(d.DestinationPage(), hFirst);
            EXPECT_EQ(CountChildDialogs(d.m_hWnd), 2);
            d.EndDialog(IDCANCEL);
        },
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(SetupDialogRun, FailedRightsCheckEndsTheDialogBeforeItIsShown)
{
    g_bTopLevelShown = false;
    CMessageBoxRecorder recorder;
    {
        const CSentMessageHook hook(NoteShowing);
        ASSERT_TRUE(hook.IsSet());
        CTestSetupDialog dialog;
        dialog.m_bRightsGranted = FALSE;
        EXPECT_EQ(dialog.DoModal(), -1);
    }
    EXPECT_FALSE(g_bTopLevelShown);
    EXPECT_TRUE(recorder.m_boxes.empty()) << "the check tells the user, not the dialog";
}
