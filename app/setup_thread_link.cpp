// CSetupThreadLink: events, phase reports, the progress bar and the cancel check.
#include "app/setup_thread_link.h"

#include "framework/pumping_wait.h"
#include "sys/my_exception.h"

#include <commctrl.h>

#include <algorithm>

namespace {
HANDLE NewEvent(BOOL bManualReset)
{
    HANDLE hEvent = CreateEventA(nullptr, bManualReset, FALSE, nullptr);
    if (hEvent == nullptr)
        ThrowMyException();
    return hEvent;
}
} // namespace

CSetupThreadLink::CSetupThreadLink()
{
    m_hStartEvent.Reset(NewEvent(FALSE));
    m_hCancelEvent.Reset(NewEvent(TRUE));
    m_hDoneEvent.Reset(NewEvent(TRUE));
    m_hHoldEvent.Reset(NewEvent(TRUE));
    m_hHeldEvent.Reset(NewEvent(FALSE));
    m_hReleaseEvent.Reset(NewEvent(FALSE));
}

CSetupThreadLink::~CSetupThreadLink()
{
    // Cancel, done, start; left to the members, the order would be done, cancel, start.
    m_hCancelEvent.Reset();
    m_hDoneEvent.Reset();
    m_hStartEvent.Reset();
}

LRESULT CSetupThreadLink::Notify(BOOL bPost, WPARAM wParam, LPARAM lParam) const
{
    // A null window would turn a post into a message to this thread's own queue.
    if (m_hWndDialog == nullptr)
        return 0;
    if (bPost)
        return PostMessageA(m_hWndDialog, WM_SETUP_PHASE, wParam, lParam);
    return SendMessageA(m_hWndDialog, WM_SETUP_PHASE, wParam, lParam);
}

LRESULT CSetupThreadLink::SendToProgress(UINT nMessage, WPARAM wParam, LPARAM lParam) const
{
    if (m_hWndProgress == nullptr)
        return 0;
    return SendMessageA(m_hWndProgress, nMessage, wParam, lParam);
}

void CSetupThreadLink::ResetProgress() const
{
    SendToProgress(PBM_SETRANGE32, 0, kProgressRange);
    SendToProgress(PBM_SETPOS, 0, 0);
}

void CSetupThreadLink::SetProgressStep(int nStep) const
{
    SendToProgress(PBM_SETSTEP, static_cast<WPARAM>(nStep), 0);
}

void CSetupThreadLink::StepProgress() const
{
    SendToProgress(PBM_STEPIT, 0, 0);
}

bool CSetupThreadLink::IsCancelRequested() const
{
    return WaitForSingleObject(m_hCancelEvent.Get(), 0) == WAIT_OBJECT_0;
}

void CSetupThreadLink::CheckCancel()
{
    ++m_nCancelChecks;
    // One look at both events: nearly every check finds neither, and every look is a call
    // to the system (under Wine, a round trip to its server), several for each file.
    const HANDLE hEvents[] = {m_hHoldEvent.Get(), m_hCancelEvent.Get()};
    if (WaitForMultipleObjects(2, hEvents, FALSE, 0) == WAIT_TIMEOUT)
        return;
    // Held first: the answer to the question decides what this check finds.
    StopWhileHeld();
    if (IsCancelRequested())
        ThrowMyException();
}

bool CSetupThreadLink::Hold()
{
    ResetEvent(m_hHeldEvent.Get());
    SetEvent(m_hHoldEvent.Get());
    const HANDLE hEvents[] = {m_hHeldEvent.Get(), m_hDoneEvent.Get()};
    m_bHeld = PumpingWaitAny(hEvents, 2) == 0;
    return m_bHeld;
}

void CSetupThreadLink::Release()
{
    // The request goes before the thread wakes, or it would stop again at once. The
    // release stays set until the held thread takes it: a thread just resumed may come
    // back to its wait late, and an event set and reset meanwhile would never wake it.
    ResetEvent(m_hHoldEvent.Get());
    if (m_bHeld)
        SetEvent(m_hReleaseEvent.Get());
    m_bHeld = false;
}

void CSetupThreadLink::StopWhileHeld() const
{
    if (WaitForSingleObject(m_hHoldEvent.Get(), 0) != WAIT_OBJECT_0)
        return;
    SetEvent(m_hHeldEvent.Get());
    WaitForSingleObject(m_hReleaseEvent.Get(), INFINITE);
}

int CSetupThreadLink::WaitFor(const HANDLE* phObjects, DWORD nCount)
{
    if (nCount >= MAXIMUM_WAIT_OBJECTS)
        return -1;
    HANDLE hObjects[MAXIMUM_WAIT_OBJECTS];
    std::copy(phObjects, phObjects + nCount, hObjects);
    hObjects[nCount] = m_hHoldEvent.Get();
    for (;;) {
        const DWORD nResult = WaitForMultipleObjects(nCount + 1, hObjects, FALSE, INFINITE);
        if (nResult < WAIT_OBJECT_0 + nCount)
            return static_cast<int>(nResult - WAIT_OBJECT_0);
        if (nResult != WAIT_OBJECT_0 + nCount)
            return -1;
        StopWhileHeld();
    }
}

int CSetupThreadLink::PreparationStep(unsigned nVolumeCount)
{
    // A package of volume count 0 is user.spd alone, as one of 1 is.
    const unsigned nContinuations = nVolumeCount > 1 ? nVolumeCount - 1 : 0;
    const unsigned nSteps = 2 + nContinuations + 1;
    return static_cast<int>(kPreparationShare / nSteps);
}

int CSetupThreadLink::CopyingStep(unsigned nFileCount)
{
    // The package check refuses a package without files; the guard only keeps a
    // division by zero out of reach.
    return nFileCount == 0 ? kCopyingShare : static_cast<int>(kCopyingShare / nFileCount);
}
