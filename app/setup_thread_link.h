// What the main dialog and the setup thread share for one run: the windows the thread
// reports to, and the events through which the two threads meet.
#pragma once

#include "framework/handle.h"

#include <windows.h>

class CSetupThread;

// Posted (or, for PHASE_COPYING, sent) to the dialog: wParam the phase, lParam 0 or the
// address of the file name being copied.
constexpr UINT WM_SETUP_PHASE = WM_USER + 1;

class CSetupThreadLink {
public:
    // The phases live in the link's scope: sys/ already names the phases of a failure
    // (PHASE_PREPARING = 1 there means preparation's message, not this report).
    enum Phase : int {
        PHASE_NOT_STARTED = -1,
        PHASE_PREPARING = 0,
        PHASE_CREATING_FOLDERS = 1,
        PHASE_COPYING = 2,
        PHASE_FINISHING = 3,
        PHASE_COMPLETED = 4,
        PHASE_FAILED = 5,
    };

    // The bar's shares: preparation, copying, finishing.
    static constexpr int kProgressRange = 1200000;
    static constexpr int kPreparationShare = 100000;
    static constexpr int kCopyingShare = 1000000;
    static constexpr int kFinalStep = 100000;

    // Raises CMyException when the system refuses an event (it is out of resources).
    CSetupThreadLink();
    CSetupThreadLink(const CSetupThreadLink&) = delete;
    CSetupThreadLink& operator=(const CSetupThreadLink&) = delete;
    virtual ~CSetupThreadLink();

    // Posts or sends WM_SETUP_PHASE to the dialog and returns the window call's result;
    // without a dialog window nothing is delivered and the result is 0.
    LRESULT Notify(BOOL bPost, WPARAM wParam, LPARAM lParam) const;

    // The progress bar, driven with synchronous sends; harmless without a bar.
    void ResetProgress() const;
    void SetProgressStep(int nStep) const;
    void StepProgress() const;

    // Ends the run silently (a new CMyException) once the dialog has asked to cancel. The
    // request is only looked at, never cleared, so every later check ends the run too.
    // Virtual so that a test can raise the request just before a chosen check.
    virtual void CheckCancel();
    bool IsCancelRequested() const;

    // Holding the thread still while the dialog asks whether to cancel. Suspended at an
    // arbitrary point, the thread may hold the heap's lock (or the window system's), and
    // the question's own box then waits for it for ever; so the thread stops itself where
    // it holds none: at every cancel check and in its waits for other programs.
    // The dialog's side: asks, then waits, letting the thread's sent messages through,
    // until the thread has stopped (true) or is done (false).
    bool Hold();
    // Lets a held thread go on; harmless when it is not held.
    void Release();
    // The thread's side, inside work that reaches no cancel check for a long while (one
    // large file's data, a setup file's copy, the join): stops here while held, and only
    // that; a raised cancel request is left to the next check.
    void HoldPoint() const { StopWhileHeld(); }
    // The thread's side: waits until one of the nCount objects (fewer than
    // MAXIMUM_WAIT_OBJECTS) is signalled, stopping meanwhile whenever it is held. Returns
    // the signalled object's index, -1 when the wait fails.
    int WaitFor(const HANDLE* phObjects, DWORD nCount);

    // 100,000 shared among the steps the preparation makes: one for each setup file, one
    // for each continuation volume and one once the package stream is built.
    static int PreparationStep(unsigned nVolumeCount);
    static int CopyingStep(unsigned nFileCount);

    CSetupThread* m_pThread = nullptr;
    HWND m_hWndDialog = nullptr;
    HWND m_hWndProgress = nullptr;
    CHandle m_hStartEvent;  // auto-reset: set once, just before the thread is resumed
    CHandle m_hCancelEvent; // manual-reset: once set, it stays set
    CHandle m_hDoneEvent;   // manual-reset: the thread's very last act
    CHandle m_hHoldEvent;    // manual-reset: set while the dialog wants the thread held
    CHandle m_hHeldEvent;    // auto-reset: the thread has stopped for the dialog
    CHandle m_hReleaseEvent; // auto-reset: the held thread may go on

    // How many cancel checks the thread has made: where a run stops is part of its
    // behaviour, and this lets a test see it.
    unsigned m_nCancelChecks = 0;

private:
    void StopWhileHeld() const;
    bool m_bHeld = false; // the dialog's side: the thread stopped for the current hold
    LRESULT SendToProgress(UINT nMessage, WPARAM wParam, LPARAM lParam) const;
};
