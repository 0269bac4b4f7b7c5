// Thread objects: a class derives from CWinThread, overrides Run, and is started by
// class with BeginThread.
//
// The object owns its thread handle and keeps it open until the object is deleted,
// so its owner may suspend, resume and ask for the exit code even after the thread has
// ended. The owner deletes the object once it no longer needs it.
#pragma once

#include "framework/handle.h"

#include <windows.h>

#include <memory>

class CWinThread {
public:
    CWinThread() = default;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread() = default;

    // Creates the system thread, always suspended; false when the system refuses.
    bool CreateThread(UINT nStackSize = 0);

    // The previous suspend counts, or (DWORD)-1 on failure, as the system gives them.
    DWORD ResumeThread() { return ::ResumeThread(m_hThread.Get()); }
    DWORD SuspendThread() { return ::SuspendThread(m_hThread.Get()); }
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread.Get(), nPriority); }

    HANDLE GetHandle() const { return m_hThread.Get(); }

    // The thread's work; its result is the thread's exit code.
    virtual int Run() = 0;

    DWORD m_nThreadID = 0;

private:
    static DWORD WINAPI ThreadEntry(LPVOID pParam);

    CHandle m_hThread;
};

// Creates an object of TThread and its thread, suspended, with nPriority and nStackSize
// (0: the program's default). The thread runs at once unless bSuspended. Returns null
// when the thread cannot be created.
template <class TThread>
TThread* BeginThread(int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0, bool bSuspended = false)
{
    std::unique_ptr<TThread> pThread(new TThread);
    if (!pThread->CreateThread(nStackSize))
        return nullptr;
    pThread->SetThreadPriority(nPriority);
    if (!bSuspended)
        pThread->ResumeThread();
    return pThread.release();
}
