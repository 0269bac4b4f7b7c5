#include "framework/reg_key.h"

#include "framework/fault_point.h"

#include <vector>

LONG CRegKey::Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
{
    Close();
    return RegOpenKeyExA(hRoot, pszSubKey, 0, samDesired, &m_hKey);
}

LONG CRegKey::Create(HKEY hRoot, const char* pszSubKey, REGSAM samDesired, DWORD* pnDisposition)
{
    Close();
    if (const DWORD nFault = InjectedFault(FaultKind::KeyCreate))
        return static_cast<LONG>(nFault);
    DWORD nDisposition = 0;
    const LONG nResult = RegCreateKeyExA(hRoot, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, samDesired,
                                         nullptr, &m_hKey, &nDisposition);
    if (nResult != ERROR_SUCCESS)
        m_hKey = nullptr;
    if (pnDisposition != nullptr)
        *pnDisposition = nDisposition;
    return nResult;
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
    if (QueryValue(pszName, nullptr, buffer.data(), nSize) != ERROR_SUCCESS)
        return false;
    strValue = buffer.data();
    return true;
}

LONG CRegKey::QueryValue(const char* pszName, DWORD* pnType, void* pData, DWORD& nSize) const
{
    if (m_hKey == nullptr)
        return ERROR_INVALID_HANDLE;
    return RegQueryValueExA(m_hKey, pszName, nullptr, pnType, static_cast<BYTE*>(pData), &nSize);
}

LONG CRegKey::QueryData(const char* pszName, DWORD* pnType, std::vector<unsigned char>& data) const
{
    DWORD nSize = 0;
    LONG nResult = QueryValue(pszName, pnType, nullptr, nSize);
    if (nResult != ERROR_SUCCESS)
        return nResult;
    data.resize(nSize);
    nResult = QueryValue(pszName, pnType, data.data(), nSize);
    data.resize(nResult == ERROR_SUCCESS ? nSize : 0);
    return nResult;
}

LONG CRegKey::QueryType(const char* pszName, DWORD& nType) const
{
    DWORD nSize = 0;
    return QueryValue(pszName, &nType, nullptr, nSize);
}

LONG CRegKey::QueryDword(const char* pszName, DWORD& nValue) const
{
    // Room for more than a DWORD, so that a longer value is read and refused rather
    // than reported as ERROR_MORE_DATA.
    BYTE data[8] = {};
    DWORD nType = REG_NONE;
    DWORD nSize = sizeof data;
    const LONG nResult = QueryValue(pszName, &nType, data, nSize);
    if (nResult != ERROR_SUCCESS && nResult != ERROR_MORE_DATA)
        return nResult;
    if (nType != REG_DWORD || nSize != sizeof(DWORD))
        return ERROR_UNSUPPORTED_TYPE;
    nValue = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 | static_cast<DWORD>(data[2]) << 16 |
             static_cast<DWORD>(data[3]) << 24;
    return ERROR_SUCCESS;
}

LONG CRegKey::QueryDefault(std::string& strValue, LONG nMaxBytes) const
{
    if (m_hKey == nullptr)
        return ERROR_INVALID_HANDLE;
    if (nMaxBytes <= 0)
        return ERROR_INVALID_PARAMETER;
    std::vector<char> buffer(static_cast<std::size_t>(nMaxBytes) + 1, '\0');
    LONG nSize = nMaxBytes;
    const LONG nResult = RegQueryValueA(m_hKey, nullptr, buffer.data(), &nSize);
    if (nResult == ERROR_SUCCESS)
        strValue = buffer.data();
    return nResult;
}

LONG CRegKey::SetValue(const char* pszName, DWORD nType, const void* pData, DWORD nSize) const
{
    if (m_hKey == nullptr)
        return ERROR_INVALID_HANDLE;
    if (const DWORD nFault = InjectedFault(FaultKind::ValueSet))
        return static_cast<LONG>(nFault);
    return RegSetValueExA(m_hKey, pszName, 0, nType, static_cast<const BYTE*>(pData), nSize);
}

LONG CRegKey::SetDword(const char* pszName, DWORD nValue) const
{
    return SetValue(pszName, REG_DWORD, &nValue, sizeof nValue);
}

LONG CRegKey::SetString(const char* pszName, const std::string& strValue) const
{
    return SetValue(pszName, REG_SZ, strValue.c_str(), static_cast<DWORD>(strValue.size() + 1));
}

LONG CRegKey::DeleteValue(const char* pszName) const
{
    if (m_hKey == nullptr)
        return ERROR_INVALID_HANDLE;
    return RegDeleteValueA(m_hKey, pszName);
}

LONG CRegKey::DeleteKey(HKEY hRoot, const char* pszSubKey)
{
    return RegDeleteKeyA(hRoot, pszSubKey);
}
