// CSetupThread: the run, then the outer handlers that report its failure.
#include "engine/setup_thread.h"

#include "app/setup_thread_link.h"
#include "engine/disk_prompt_dialog.h"
#include "engine/setup_run.h"
#include "framework/exception.h"
#include "sys/message_text.h"
#include "sys/my_exception.h"

namespace {
constexpr unsigned kUnexpectedErrorMessage = 72;

// Runs the installation and lets it clean up behind itself, then reports how it failed;
// true when it succeeded.
bool PerformAndReport(CSetupRun& run)
{
    try {
        try {
            run.Perform();
        } catch (...) {
            run.CleanUp();
            throw;
        }
    } catch (CSetupException* pException) {
        // A phase or cause without text would leave the failure unreported.
        if (pException->ShowMessage(MB_ICONHAND) < 0)
            MessageBoxByNumber(kUnexpectedErrorMessage, MB_ICONHAND);
        pException->Delete();
    } catch (CFileException* pException) {
        pException->ReportError(MB_ICONHAND, kUnexpectedErrorMessage);
        pException->Delete();
    } catch (CMyException* pException) {
        // Success, a cancel, or a refusal the user has already seen: nothing to say.
        pException->Delete();
    } catch (CException* pException) {
        pException->Delete();
        MessageBoxByNumber(kUnexpectedErrorMessage, MB_ICONHAND);
    } catch (...) {
        MessageBoxByNumber(kUnexpectedErrorMessage, MB_ICONHAND);
    }
    return run.Succeeded();
}
} // namespace

int CSetupThread::Run()
{
    CDialogDiskPrompt dialogPrompt;
    CSetupRun run(*m_pLink, m_pDiskPrompt != nullptr ? *m_pDiskPrompt : dialogPrompt);
    const bool bSuccess = PerformAndReport(run);
    m_pLink->Notify(TRUE, bSuccess ? CSetupThreadLink::PHASE_COMPLETED : CSetupThreadLink::PHASE_FAILED, 0);
    SetEvent(m_pLink->m_hDoneEvent.Get());
    return bSuccess ? 0 : 1;
}
