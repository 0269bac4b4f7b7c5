// A watchdog for tests that could deadlock.
#pragma once

#include "framework/handle.h"

#include <windows.h>

#include <thread>

// Ends the test program when a test has not ended in time: a deadlock would otherwise
// last until ctest's own limit, many minutes later.
class CHangWatch {
public:
    explicit CHangWatch(DWORD nLimitMs)
        : m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_watcher([this, nLimitMs] {
              if (WaitForSingleObject(m_done.Get(), nLimitMs) != WAIT_TIMEOUT)
                  return;
              // Nothing here may need the heap: a deadlocked thread may hold its lock.
              static const char kText[] = "the test hung and was ended\n";
              DWORD nWritten = 0;
              WriteFile(GetStdHandle(STD_ERROR_HANDLE), kText, sizeof kText - 1, &nWritten, nullptr);
              TerminateProcess(GetCurrentProcess(), 3);
          })
    {
    }
    CHangWatch(const CHangWatch&) = delete;
    CHangWatch& operator=(const CHangWatch&) = delete;
    ~CHangWatch()
    {
        SetEvent(m_done.Get());
        m_watcher.join();
    }

private:
    CHandle m_done;
    std::thread m_watcher;
};
