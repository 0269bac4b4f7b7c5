// CSetupThreadLink: its events, the phase messages and progress-bar protocol as real
// windows receive them, the cancel check and holding the thread.
#include "app/setup_thread_link.h"
#include "sys/my_exception.h"
#include "tests/win/hang_watch.h"
#include "tests/win/recording_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {
using Link = CSetupThreadLink;

const std::set<UINT> kProgressMessages = {PBM_SETRANGE32, PBM_SETPOS, PBM_SETSTEP, PBM_STEPIT};

bool IsSet(const CHandle& hEvent)
{
    return WaitForSingleObject(hEvent.Get(), 0) == WAIT_OBJECT_0;
}

// Runs one cancel check; true when it ended the run with the silent CMyException.
bool CheckEndsRun(Link& link)
{
    try {
        link.CheckCancel();
        return false;
    } catch (CMyException* pException) {
        EXPECT_EQ(dynamic_cast<CSetupException*>(pException), nullptr) << "a cancel shows no message";
        pException->Delete();
        return true;
    }
}
} // namespace

TEST(ThreadLink, EventsStartUnsetAndOnlyTheStartEventResetsItself)
{
    struct Case {
        CHandle Link::*pEvent;
        bool bStaysSet;
    };
    const Case kCases[] = {{&Link::m_hStartEvent, false}, {&Link::m_hCancelEvent, true}, {&Link::m_hDoneEvent, true},
                           {&Link::m_hHoldEvent, true},   {&Link::m_hHeldEvent, false},  {&Link::m_hReleaseEvent, false}};
    Link link;
    EXPECT_EQ(link.m_pThread, nullptr);
    EXPECT_EQ(link.m_hWndDialog, nullptr);
    EXPECT_EQ(link.m_hWndProgress, nullptr);
    for (const Case& c : kCases) {
        const CHandle& hEvent = link.*c.pEvent;
        ASSERT_TRUE(hEvent.IsValid());
        EXPECT_FALSE(IsSet(hEvent));
        SetEvent(hEvent.Get());
        EXPECT_TRUE(IsSet(hEvent));
        EXPECT_EQ(IsSet(hEvent), c.bStaysSet);
    }
}

TEST(ThreadLink, DestructionClosesEveryEvent)
{
    auto pLink = std::make_unique<Link>();
    const HANDLE hEvents[] = {pLink->m_hStartEvent.Get(), pLink->m_hCancelEvent.Get(), pLink->m_hDoneEvent.Get(),
                              pLink->m_hHoldEvent.Get(),  pLink->m_hHeldEvent.Get(),   pLink->m_hReleaseEvent.Get()};
    pLink.reset();
    for (HANDLE hEvent : hEvents) {
        DWORD dwFlags = 0;
        EXPECT_FALSE(GetHandleInformation(hEvent, &dwFlags));
    }
}

TEST(ThreadLink, PhasesArePostedOrSentToTheDialog)
{
    CRecordingWindow dialog("STATIC", {WM_SETUP_PHASE});
    dialog.AnswerWith(7, Link::PHASE_COPYING);
    Link link;
    link.m_hWndDialog = dialog.Handle();

    EXPECT_NE(link.Notify(TRUE, Link::PHASE_PREPARING, 0), 0);
    EXPECT_TRUE(dialog.m_vecReceived.empty()) << "a posted phase waits for the dialog's message loop";

    // The copying phase's text lives only while the dialog handles it.
    std::string strName = "aurora.scr";
    EXPECT_EQ(link.Notify(FALSE, Link::PHASE_COPYING, reinterpret_cast<LPARAM>(strName.c_str())), 7);
    strName.clear();
    ASSERT_EQ(dialog.m_vecReceived.size(), 1u);
    EXPECT_EQ(dialog.m_vecReceived[0].wParam, static_cast<WPARAM>(Link::PHASE_COPYING));
    EXPECT_EQ(dialog.m_vecReceived[0].strText, "aurora.scr");

    CRecordingWindow::Pump();
    ASSERT_EQ(dialog.m_vecReceived.size(), 2u);
    EXPECT_EQ(dialog.m_vecReceived[1].wParam, static_cast<WPARAM>(Link::PHASE_PREPARING));
    EXPECT_EQ(dialog.m_vecReceived[1].lParam, 0);
}

TEST(ThreadLink, WithoutWindowsNothingIsDelivered)
{
    Link link;
    EXPECT_EQ(link.Notify(TRUE, Link::PHASE_PREPARING, 0), 0);
    EXPECT_EQ(link.Notify(FALSE, Link::PHASE_FAILED, 0), 0);
    link.ResetProgress();
    link.SetProgressStep(Link::kFinalStep);
    link.StepProgress();
    // A post to no window would have landed in this thread's own queue.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(ThreadLink, ResetSetsTheWholeRangeAndCopyingStepsEndShortByTheRemainder)
{
    CRecordingWindow bar(PROGRESS_CLASSA, kProgressMessages);
    SendMessageA(bar.Handle(), PBM_SETPOS, 50, 0);
    bar.m_vecReceived.clear();
    Link link;
    link.m_hWndProgress = bar.Handle();

    link.ResetProgress();
    ASSERT_EQ(bar.m_vecReceived.size(), 2u);
    EXPECT_EQ(bar.m_vecReceived[0].nMessage, static_cast<UINT>(PBM_SETRANGE32));
    EXPECT_EQ(bar.m_vecReceived[0].wParam, 0u);
    EXPECT_EQ(bar.m_vecReceived[0].lParam, 1200000);
    EXPECT_EQ(bar.m_vecReceived[1].nMessage, static_cast<UINT>(PBM_SETPOS));
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, FALSE, 0), 1200000);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 0);

    struct Case {
        unsigned nFileCount;
        int nStep;
    };
    for (const Case& c : {Case{1, 1000000}, Case{3, 333333}}) {
        SCOPED_TRACE(c.nFileCount);
        link.ResetProgress();
        link.SetProgressStep(Link::CopyingStep(c.nFileCount));
        for (unsigned n = 0; n < c.nFileCount; ++n)
            link.StepProgress();
        EXPECT_EQ(bar.m_vecReceived.back().nMessage, static_cast<UINT>(PBM_STEPIT));
        EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), c.nStep * static_cast<int>(c.nFileCount));
    }
    EXPECT_EQ(bar.Count(PBM_SETSTEP), 2u);
    EXPECT_EQ(bar.Count(PBM_STEPIT), 4u);
}

TEST(ThreadLink, PreparationStepDependsOnTheVolumeCount)
{
    CRecordingWindow bar(PROGRESS_CLASSA, kProgressMessages);
    Link link;
    link.m_hWndProgress = bar.Handle();
    struct Case {
        unsigned nVolumeCount;
        WPARAM nStep;
    };
    // The two setup files, each continuation volume, the built stream; 0 is one volume.
    for (const Case& c : {Case{0, 33333}, Case{1, 33333}, Case{2, 25000}, Case{3, 20000}}) {
        SCOPED_TRACE(c.nVolumeCount);
        bar.m_vecReceived.clear();
        link.SetProgressStep(Link::PreparationStep(c.nVolumeCount));
        ASSERT_EQ(bar.m_vecReceived.size(), 1u);
        EXPECT_EQ(bar.m_vecReceived[0].nMessage, static_cast<UINT>(PBM_SETSTEP));
        EXPECT_EQ(bar.m_vecReceived[0].wParam, c.nStep);
    }
}

TEST(ThreadLink, CancelRaisedTwiceEndsTheRunAtTheNextCheckAndEveryOneAfter)
{
    Link link;
    EXPECT_FALSE(CheckEndsRun(link));
    SetEvent(link.m_hCancelEvent.Get());
    SetEvent(link.m_hCancelEvent.Get());
    EXPECT_TRUE(CheckEndsRun(link));
    EXPECT_TRUE(CheckEndsRun(link)) << "the check only looks at the request";
    EXPECT_EQ(link.m_nCancelChecks, 3u);
}

TEST(ThreadLink, HeldThreadStopsAtItsNextCheckOrInItsWaitUntilReleased)
{
    struct Case {
        const char* pszWhere;
        bool bInWait;
    };
    for (const Case& c : {Case{"cancel checks", false}, Case{"a wait", true}}) {
        SCOPED_TRACE(c.pszWhere);
        Link link;
        const CHandle hWaitedFor(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        std::atomic<int> nSteps{0};
        std::atomic<bool> bStop{false};
        std::thread worker([&] {
            const HANDLE hEvents[] = {link.m_hCancelEvent.Get(), hWaitedFor.Get()};
            if (c.bInWait) {
                EXPECT_EQ(link.WaitFor(hEvents, 2), 1);
            }
            for (; !bStop; ++nSteps)
                link.CheckCancel();
        });
        if (!c.bInWait)
            while (nSteps == 0)
                Sleep(1);
        ASSERT_TRUE(link.Hold());
        // What the thread waited for comes while it is held: it stays held all the same.
        SetEvent(hWaitedFor.Get());
        const int nHeldAt = nSteps;
        Sleep(100);
        EXPECT_EQ(nSteps, nHeldAt);
        link.Release();
        for (int nTry = 0; nTry < 5000 && nSteps == nHeldAt; ++nTry)
            Sleep(1);
        EXPECT_GT(nSteps, nHeldAt);
        bStop = true;
        worker.join();
    }
}

// As the dialog does it: held, suspended, resumed, released, again and again. A thread
// just resumed may reach its wait late; a release it missed would leave both threads
// waiting for each other.
TEST(ThreadLink, NoReleaseIsLostBetweenHoldsOfASuspendedThread)
{
    const CHangWatch watch(60000);
    Link link;
    std::atomic<DWORD> nWorkerId{0};
    std::atomic<bool> bStop{false};
    std::thread worker([&] {
        nWorkerId = GetCurrentThreadId();
        while (!bStop)
            link.CheckCancel();
    });
    while (nWorkerId == 0)
        Sleep(1);
    const CHandle hWorker(OpenThread(THREAD_SUSPEND_RESUME, FALSE, nWorkerId));
    ASSERT_TRUE(hWorker.IsValid());
    for (int nRound = 0; nRound < 300; ++nRound) {
        ASSERT_TRUE(link.Hold()) << nRound;
        SuspendThread(hWorker.Get());
        ResumeThread(hWorker.Get());
        link.Release();
    }
    bStop = true;
    worker.join();
}

TEST(ThreadLink, HoldingAThreadThatIsDoneDoesNotWaitAndReleasingLeavesNoHold)
{
    Link link;
    SetEvent(link.m_hDoneEvent.Get());
    EXPECT_FALSE(link.Hold());
    link.Release();
    EXPECT_FALSE(IsSet(link.m_hHoldEvent));
    EXPECT_FALSE(IsSet(link.m_hReleaseEvent)) << "a later hold would not stop the thread";
    EXPECT_FALSE(CheckEndsRun(link)) << "a check after the release goes straight on";
}
