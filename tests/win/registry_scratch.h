// Registry state a test sets up and takes down again, so that the prefix stays as it
// was: a scratch key of its own under HKEY_CURRENT_USER, and a value of the system's
// taken away for the length of a test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// HKCU\Software\Lumidrop Test <name> <process id>, removed with everything below it.
class CScratchKey {
public:
    explicit CScratchKey(const std::string& strName)
        : m_strPath("Software\\Lumidrop Test " + strName + " " + std::to_string(GetCurrentProcessId()))
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, m_strPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr);
    }
    CScratchKey(const CScratchKey&) = delete;
    CScratchKey& operator=(const CScratchKey&) = delete;
    ~CScratchKey()
    {
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
        DeleteTree(HKEY_CURRENT_USER, m_strPath);
    }

    HKEY Get() const { return m_hKey; }
    const std::string& Path() const { return m_strPath; }

    // Writes strData as the REG_SZ value pszName (the default value for null) of subkey
    // strSubKey (the key itself when empty), creating the subkey.
    bool SetText(const std::string& strSubKey, const char* pszName, const std::string& strData) const
    {
        HKEY hKey = nullptr;
        if (RegCreateKeyExA(m_hKey, strSubKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const LONG nResult = RegSetValueExA(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strData.c_str()),
                                            static_cast<DWORD>(strData.size() + 1));
        RegCloseKey(hKey);
        return nResult == ERROR_SUCCESS;
    }

private:
    static bool DeleteTree(HKEY hParent, const std::string& strPath)
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExA(hParent, strPath.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
            char szChild[256];
            DWORD nLength = sizeof szChild;
            // Always the first: each child is gone before the next look.
            while (RegEnumKeyExA(hKey, 0, szChild, &nLength, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
                if (!DeleteTree(hKey, szChild))
                    break;
                nLength = sizeof szChild;
            }
            RegCloseKey(hKey);
        }
        return RegDeleteKeyA(hParent, strPath.c_str()) == ERROR_SUCCESS;
    }

    std::string m_strPath;
    HKEY m_hKey = nullptr;
};

// Deletes value pszName of key pszSubKey below hRoot and writes it back, as it was, at
// the end.
class CRemovedValue {
public:
    CRemovedValue(HKEY hRoot, const char* pszSubKey, const char* pszName) : m_strName(pszName)
    {
        if (RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_hKey) != ERROR_SUCCESS) {
            m_hKey = nullptr;
            return;
        }
        DWORD nSize = 0;
        if (RegQueryValueExA(m_hKey, pszName, nullptr, &m_nType, nullptr, &nSize) != ERROR_SUCCESS)
            return;
        m_data.resize(nSize);
        if (RegQueryValueExA(m_hKey, pszName, nullptr, &m_nType, m_data.data(), &nSize) == ERROR_SUCCESS)
            m_bRemoved = RegDeleteValueA(m_hKey, pszName) == ERROR_SUCCESS;
    }
    CRemovedValue(const CRemovedValue&) = delete;
    CRemovedValue& operator=(const CRemovedValue&) = delete;
    ~CRemovedValue()
    {
        if (m_bRemoved)
            RegSetValueExA(m_hKey, m_strName.c_str(), 0, m_nType, m_data.data(), static_cast<DWORD>(m_data.size()));
        if (m_hKey != nullptr)
            RegCloseKey(m_hKey);
    }

    bool IsRemoved() const { return m_bRemoved; }

private:
    std::string m_strName;
    HKEY m_hKey = nullptr;
    DWORD m_nType = REG_NONE;
    std::vector<BYTE> m_data;
    bool m_bRemoved = false;
};
