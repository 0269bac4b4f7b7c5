// The worker thread of one installation: it performs the run, cleans it up, reports a
// failure in one box, and tells the dialog how it ended.
#pragma once

#include "framework/win_thread.h"

#include <windows.h>

class CSetupThreadLink;
class IDiskPrompt;

class CSetupThread : public CWinThread {
public:
    // The thread needs nothing before its run.
    BOOL InitInstance() { return TRUE; }

    // The installation: 0 when it succeeded, 1 when it failed or was cancelled. No
    // exception leaves it: every failure is reported here, once, after the roll-back.
    int Run() override;

    // Set by the dialog before the thread is resumed; not owned.
    CSetupThreadLink* m_pLink = nullptr;

    // Who is asked for the next disk of a spanned package; null: the user, through the
    // disk prompt dialog. Not owned.
    IDiskPrompt* m_pDiskPrompt = nullptr;
};
