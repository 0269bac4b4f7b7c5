// Owns one open registry key and closes it on destruction.
#pragma once

#include <windows.h>

#include <string>

class CRegKey {
public:
    CRegKey() = default;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey() { Close(); }

    // Opens pszSubKey below hRoot; returns the system's error code (ERROR_SUCCESS when open).
    LONG Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired);
    void Close();

    // Reads value pszName as text of at most nMaxBytes bytes (terminating zero included).
    // False when the value is missing or longer; the text ends at its first zero byte.
    bool QueryString(const char* pszName, std::string& strValue, DWORD nMaxBytes) const;

    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};
