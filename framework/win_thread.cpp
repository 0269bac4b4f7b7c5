#include "framework/win_thread.h"

#include "framework/app.h"
#include "framework/exception.h"

bool CWinThread::CreateThread(UINT nStackSize)
{
    m_hThread.Reset(::CreateThread(nullptr, nStackSize, ThreadEntry, this, CREATE_SUSPENDED, &m_nThreadID));
    return m_hThread.IsValid();
}

DWORD WINAPI CWinThread::ThreadEntry(LPVOID pParam)
{
    // An exception must not leave the thread's first frame: the process would end.
    try {
        return static_cast<DWORD>(static_cast<CWinThread*>(pParam)->Run());
    } catch (CException* pException) {
        ReportBoundaryException(pException, 0);
    } catch (...) {
        ReportBoundaryException(nullptr, 0);
    }
    return static_cast<DWORD>(-1);
}
