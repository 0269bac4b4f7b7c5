// Registry helpers of the installation tests: a key that refuses writing, and the lock
// that keeps the test programs sharing "Software\Lumidrop Screensaver" apart.
#pragma once

#include "framework/handle.h"
#include "framework/reg_key.h"

#include <windows.h>

#include <sddl.h>

#include <string>

// A key under HKLM made beforehand and then given a security descriptor that refuses
// setting values and creating sub-keys to everyone, so that opening it for KEY_WRITE
// fails; it can still be deleted, and is. (Wine keeps a descriptor set afterwards, not
// one given at creation.)
class CDeniedKey {
public:
    explicit CDeniedKey(std::string strSubKey) : m_strSubKey(std::move(strSubKey))
    {
        PSECURITY_DESCRIPTOR pDescriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                  &pDescriptor, nullptr))
            return;
        CRegKey key;
        m_bMade = key.Create(HKEY_LOCAL_MACHINE, m_strSubKey.c_str(), KEY_ALL_ACCESS) == ERROR_SUCCESS &&
                  RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, pDescriptor) == ERROR_SUCCESS;
        LocalFree(pDescriptor);
    }
    CDeniedKey(const CDeniedKey&) = delete;
    CDeniedKey& operator=(const CDeniedKey&) = delete;
    ~CDeniedKey() { CRegKey::DeleteKey(HKEY_LOCAL_MACHINE, m_strSubKey.c_str()); }

    bool Made() const { return m_bMade; }

    // Made, and refused as it must be.
    bool Refuses() const
    {
        CRegKey key;
        return m_bMade && key.Create(HKEY_LOCAL_MACHINE, m_strSubKey.c_str(), KEY_WRITE) == ERROR_ACCESS_DENIED;
    }

private:
    std::string m_strSubKey;
    bool m_bMade = false;
};

// One test at a time across the test programs of the prefix that write
// "Software\Lumidrop Screensaver" or the system folder's desk.cpl.
class CPrefixLock {
public:
    CPrefixLock() : m_mutex(CreateMutexA(nullptr, FALSE, "Lumidrop registration test"))
    {
        WaitForSingleObject(m_mutex.Get(), INFINITE);
    }
    CPrefixLock(const CPrefixLock&) = delete;
    CPrefixLock& operator=(const CPrefixLock&) = delete;
    ~CPrefixLock() { ReleaseMutex(m_mutex.Get()); }

private:
    CHandle m_mutex;
};
