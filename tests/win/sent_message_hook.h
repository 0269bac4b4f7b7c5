// Watching the messages sent on the calling thread for as long as the object lives.
#pragma once

#include <windows.h>

class CSentMessageHook {
public:
    explicit CSentMessageHook(HOOKPROC pfnHook)
        : m_hHook(SetWindowsHookExA(WH_CALLWNDPROC, pfnHook, nullptr, GetCurrentThreadId()))
    {
    }
    CSentMessageHook(const CSentMessageHook&) = delete;
    CSentMessageHook& operator=(const CSentMessageHook&) = delete;
    ~CSentMessageHook()
    {
        if (m_hHook != nullptr)
            UnhookWindowsHookEx(m_hHook);
    }

    bool IsSet() const { return m_hHook != nullptr; }

private:
    HHOOK m_hHook;
};
