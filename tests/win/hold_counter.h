// Counts where a thread stops when the dialog wants it held at every point it reaches.
#pragma once

#include "app/setup_thread_link.h"
#include "framework/handle.h"

#include <windows.h>

#include <atomic>
#include <thread>

// From its making until its end, link asks to hold the thread that uses it, and a thread
// of this object's own plays the dialog that lets every stop go at once, counting them.
class CHoldCounter {
public:
    explicit CHoldCounter(CSetupThreadLink& link)
        : m_link(link), m_stop(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_dialog([this] {
              const HANDLE hEvents[] = {m_link.m_hHeldEvent.Get(), m_stop.Get()};
              while (WaitForMultipleObjects(2, hEvents, FALSE, INFINITE) == WAIT_OBJECT_0) {
                  ++m_nStops;
                  SetEvent(m_link.m_hReleaseEvent.Get());
              }
          })
    {
        SetEvent(m_link.m_hHoldEvent.Get());
    }
    CHoldCounter(const CHoldCounter&) = delete;
    CHoldCounter& operator=(const CHoldCounter&) = delete;
    ~CHoldCounter()
    {
        ResetEvent(m_link.m_hHoldEvent.Get());
        SetEvent(m_stop.Get());
        m_dialog.join();
    }

    // Each stop is counted before it is let go: read after the held thread's work
    // returned, the count is whole.
    unsigned Stops() const { return m_nStops; }

private:
    CSetupThreadLink& m_link;
    CHandle m_stop;
    std::atomic<unsigned> m_nStops{0};
    std::thread m_dialog;
};
