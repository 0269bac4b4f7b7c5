#include "framework/reg_key.h"

#include <vector>

LONG CRegKey::Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
{
    Close();
    return RegOpenKeyExA(hRoot, pszSubKey, 0, samDesired, &m_hKey);
}

void CRegKey::Close()
{
    if (m_hKey != nullptr)
        RegCloseKey(m_hKey);
    m_hKey = nullptr;
}

bool CRegKey::QueryString(const char* pszName, std::string& strValue, DWORD nMaxBytes) const
{
    if (m_hKey == nullptr || nMaxBytes == 0)
        return false;
    // One byte more than asked, so that data filling the whole buffer still ends in a zero.
    std::vector<char> buffer(nMaxBytes + 1, '\0');
    DWORD nSize = nMaxBytes;
    if (RegQueryValueExA(m_hKey, pszName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &nSize) != ERROR_SUCCESS)
        return false;
    strValue = buffer.data();
    return true;
}
