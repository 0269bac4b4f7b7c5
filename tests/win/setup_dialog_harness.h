// The main dialog under test: a setup dialog that runs a list of steps once it is shown,
// a worker thread in place of the installation that plays a script of phases through
// the link, and a recorder in place of the finish step's system calls.
#pragma once

#include "app/finish_actions.h"
#include "app/setup_config.h"
#include "app/setup_dialog.h"
#include "app/setup_thread_link.h"
#include "framework/handle.h"
#include "framework/win_thread.h"

#include <functional>
#include <string>
#include <vector>

// Holds the configuration for one test, filled as start-up would.
class CTestConfig {
public:
    CTestConfig();
    CTestConfig(const CTestConfig&) = delete;
    CTestConfig& operator=(const CTestConfig&) = delete;
    ~CTestConfig();
    CSetupConfig* operator->() const { return m_pConfig; }

private:
    CSetupConfig* m_pConfig;
};

class CRecordedFinishActions : public IFinishActions {
public:
    void StartProgram(const char* pszCommandLine) override { m_started.push_back(pszCommandLine); }
    void RestartSystem(BOOL bEnablePrivilege) override { m_restarts.push_back(bEnablePrivilege); }

    std::vector<std::string> m_started;
    std::vector<BOOL> m_restarts;
};

// One phase the worker reports: PHASE_COPYING is sent with the file name, the others are
// posted.
struct ScriptStep {
    int nPhase;
    const char* pszFile = nullptr;
};

struct WorkerScript {
    std::vector<ScriptStep> steps;
    // Set in the configuration just before PHASE_COMPLETED, as the run does when a file
    // waits for the next start.
    bool bRestartNeeded = false;
    // Between steps the worker keeps allocating and freeing, as a real run does, stopping
    // only at its cancel checks; otherwise it waits for the next step.
    bool bBusyWithTheHeap = false;
};

// What the dialog showed once the worker's report of one step had been handled.
struct Snapshot {
    int nStep;
    LONG nPhase;
    std::string strStatus;
    bool bDestinationVisible, bPathEnabled, bBrowseEnabled;
    bool bFinishVisible, bRestartVisible;
    UINT nRestartCheck, nPropertiesCheck;
    std::string strResultText;
    bool bProgressVisible, bStartVisible;
    std::string strCancelCaption;
};

class CTestSetupDialog;

// Plays its script: waits for the start event, reports each step and lets the dialog
// look at it (held when the dialog holds it), stopping at a raised cancel request; then cleans up (with reports sent to
// the dialog and its progress bar, which only a dialog that pumps while it waits lets
// through, and a pause long enough for a dialog that does not wait to be gone), reports
// the end and sets the done event.
class CScriptedWorker : public CWinThread {
public:
    int Run() override;

    CSetupThreadLink* m_pLink = nullptr;
    WorkerScript m_script;
    HANDLE m_hStepEvent = nullptr;
    bool m_bSawCancel = false;
    bool m_bCleanUpSendTimedOut = false;

private:
    // Until the dialog lets the worker past its step; true when the run was cancelled.
    bool AwaitStep();
};

class CTestSetupDialog : public CSetupDialog {
public:
    using Step = std::function<void(CTestSetupDialog&)>;

    CTestSetupDialog();
    ~CTestSetupDialog() override;

    // Run one per turn of the modal loop, in order, once the dialog is shown.
    std::vector<Step> m_steps;
    // Without a script, no thread can be created.
    bool m_bHasWorker = false;
    WorkerScript m_script;
    BOOL m_bRightsGranted = TRUE;
    // The worker's report at this step is answered by the Cancel button; -1: never.
    int m_nCancelAtStep = -1;
    // Done once the worker's last step has been looked at; by default, press Finish.
    Step m_atLastStep;

    CRecordedFinishActions m_finishActions;
    std::vector<Snapshot> m_snapshots;
    int m_nThreadsCreated = 0;

    HWND DestinationPage() const;
    HWND FinishPage() const;
    HWND PathField() const;
    CScriptedWorker* Worker() const;
    CSetupThreadLink* Link() const { return m_pLink.get(); }
    // Lets the worker go on past its current step.
    void ReleaseWorker() const { SetEvent(m_stepEvent.Get()); }

    BOOL OnInitDialog() override;

protected:
    BOOL RunAccessCheck() override { return m_bRightsGranted; }
    CWinThread* CreateSetupThread(CSetupThreadLink* pLink) override;

    LRESULT OnTestStep(WPARAM wParam, LPARAM lParam);
    LRESULT OnWorkerStep(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    CHandle m_stepEvent;
};

// Sets the path field of the destination page and presses Start.
void EnterPathAndStart(CTestSetupDialog& dialog, const std::string& strPath);

// Presses Cancel/Finish, as a click does.
void PressCancel(const CTestSetupDialog& dialog);

// A fixed disk path that passes every rule of the destination check here.
std::string ValidDestination();

bool IsEventSet(HANDLE hEvent);
