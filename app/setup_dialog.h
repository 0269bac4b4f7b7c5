// The program's main window (template 102): the page area with the destination and
// finish pages, the progress bar, Start, Cancel/Finish, the maker line and the web link.
//
// Start checks the destination and starts the setup thread; the thread's phase messages
// move the pages along; Cancel/Finish (and Esc) either carries out the finish page's
// choices or, while the run goes on, offers to cancel it.
#pragma once

#include "app/control_update_dialog.h"
#include "app/finish_actions.h"
#include "ui/hyperlink.h"

#include <memory>

class CPageSequence;
class CSetupThreadLink;
class CWinThread;

class CSetupDialog : public CControlUpdateDialog {
public:
    CSetupDialog();
    ~CSetupDialog() override;

    // Runs the current page's UpdatePage after every message, then asks the base.
    BOOL ContinueModal() override;
    BOOL OnInitDialog() override;
    // Enter must never close the dialog.
    void OnOK() override;
    // Finish before the run and after it; while it runs, the offer to cancel it.
    void OnCancel() override;

    // Where the finish step starts programs and restarts the system; not owned.
    void SetFinishActions(IFinishActions* pActions) { m_pFinishActions = pActions; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    // The access-rights check of the user; FALSE when the user may not install (the
    // check has told the user why).
    virtual BOOL RunAccessCheck();

    // Creates the setup thread for pLink, suspended, with default priority and stack
    // size, and ties the two together (the link's m_pThread, the thread's m_pLink).
    // Null when it cannot be created.
    virtual CWinThread* CreateSetupThread(CSetupThreadLink* pLink);

    LRESULT OnSetupPhase(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnStart();

    CLinkLabel m_link;
    CWnd m_progress;
    std::unique_ptr<CPageSequence> m_pPages;
    std::unique_ptr<CSetupThreadLink> m_pLink;
    // Owned here, never deleting itself, so that its handle serves suspend, resume and
    // the exit-code query for as long as this dialog may ask, even after the run.
    std::unique_ptr<CWinThread> m_pThread;

    DECLARE_MESSAGE_MAP()

private:
    void CreatePages();
    void ShowStatus(int nPhase, LPARAM lParam);
    void OnPhaseCompleted();
    void FinishSetup();
    void OfferCancel();
    bool IsThreadRunning() const;
    // Waits, letting the thread's sent messages through, until the thread has set the
    // done event: from then on it no longer touches the link. At once without a thread.
    void WaitUntilThreadDone() const;
    void StoreThreadPhase(int nPhase) const;

    IFinishActions* m_pFinishActions;
};
