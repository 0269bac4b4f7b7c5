// Owns one kernel handle (file, event, thread, process) and closes it on destruction.
#pragma once

#include <windows.h>

#include <utility>

class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE hHandle) : m_hHandle(hHandle) {}
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_hHandle(std::exchange(other.m_hHandle, nullptr)) {}
    CHandle& operator=(CHandle&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_hHandle, nullptr));
        return *this;
    }
    ~CHandle() { Reset(); }

    // Both null and INVALID_HANDLE_VALUE mean "none": CreateFile and CreateEvent
    // report failure with different ones.
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hHandle; }

    void Reset(HANDLE hHandle = nullptr)
    {
        if (IsValid())
            CloseHandle(m_hHandle);
        m_hHandle = hHandle;
    }

    HANDLE Release() { return std::exchange(m_hHandle, nullptr); }

private:
    HANDLE m_hHandle = nullptr;
};
