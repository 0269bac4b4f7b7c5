#include "sys/special_folders.h"

#include "framework/reg_key.h"
#include "sys/message_text.h"
#include "sys/trailing_backslash.h"

#include <cstring>
#include <vector>

namespace {
constexpr int kPathCapacity = MAX_PATH;
constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

using FolderCall = UINT(WINAPI*)(LPSTR, UINT);

// The two-call pattern of GetWindowsDirectoryA and GetSystemDirectoryA: the first call
// tells the size the second needs.
BOOL QueryFolder(FolderCall pfnCall, std::string& strOut)
{
    const UINT nNeeded = pfnCall(nullptr, 0);
    if (nNeeded == 0)
        return FALSE;
    std::vector<char> buffer(nNeeded + 1, '\0');
    const UINT nLength = pfnCall(buffer.data(), nNeeded);
    // A length that does not fit means the folder moved between the calls; the buffer
    // then holds no path.
    if (nLength == 0 || nLength >= nNeeded)
        return FALSE;
    CSpecialFolders::Normalize(buffer.data(), strOut);
    return TRUE;
}

// The last backslash of pszPath, stepping over double-byte characters so that a trail
// byte of 0x5C is never taken for one; null when there is none.
char* FindLastBackslash(char* pszPath)
{
    char* pLast = nullptr;
    for (char* p = pszPath; *p != '\0'; ++p) {
        if (IsSystemLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
            ++p;
        else if (*p == '\\')
            pLast = p;
    }
    return pLast;
}
} // namespace

BOOL CSpecialFolders::GetWindowsFolder(std::string& strOut) const
{
    return QueryFolder(GetWindowsDirectoryA, strOut);
}

BOOL CSpecialFolders::GetSystemFolder(std::string& strOut) const
{
    return QueryFolder(GetSystemDirectoryA, strOut);
}

BOOL CSpecialFolders::GetProgramFilesFolder(std::string& strOut) const
{
    return GetRegistryFolder(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir", strOut);
}

BOOL CSpecialFolders::GetCommonFilesFolder(std::string& strOut) const
{
    return GetRegistryFolder(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir", strOut);
}

BOOL CSpecialFolders::GetRegistryFolder(HKEY hRoot, const char* pszSubKey, const char* pszValueName,
                                        std::string& strOut) const
{
    if (pszValueName == nullptr)
        return FALSE;
    CRegKey key;
    if (key.Open(hRoot, pszSubKey, KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return FALSE;
    DWORD nSize = 0;
    if (key.QueryValue(pszValueName, nullptr, nullptr, nSize) != ERROR_SUCCESS)
        return FALSE;
    // One zero more than the value's size: a value stored without its terminator still ends.
    std::vector<char> buffer(nSize + 1, '\0');
    if (key.QueryValue(pszValueName, nullptr, buffer.data(), nSize) != ERROR_SUCCESS)
        return FALSE;
    key.Close();
    std::string strValue = buffer.data();
    TrimTrailingBackslash(strValue);
    Normalize(strValue, strOut);
    return TRUE;
}

void CSpecialFolders::TrimTrailingBackslash(std::string& strPath)
{
    ::TrimTrailingBackslash(strPath);
}

BOOL CSpecialFolders::Normalize(const std::string& strText, std::string& strOut)
{
    std::string strCopy = strText;
    TrimTrailingBackslash(strCopy);
    char szPath[kPathCapacity] = "";
    const DWORD nFull = GetFullPathNameA(strCopy.c_str(), sizeof szPath, szPath, nullptr);
    const bool bFull = nFull != 0 && nFull < sizeof szPath;
    if (!bFull)
        szPath[0] = '\0';
    const bool bLong = bFull && ExpandLongNames(szPath, kPathCapacity) != -1;
    strOut = szPath;
    return bFull && bLong;
}

int CSpecialFolders::ExpandLongNames(char* pszPath, int nCapacity)
{
    const int nLength = static_cast<int>(std::strlen(pszPath));
    if (nLength <= 2)
        return nLength;

    WIN32_FIND_DATAA data;
    const HANDLE hFind = FindFirstFileA(pszPath, &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return -1;
    FindClose(hFind);

    char* pSlash = FindLastBackslash(pszPath);
    if (pSlash == nullptr)
        return -1;
    *pSlash = '\0';
    const int nParent = ExpandLongNames(pszPath, nCapacity);
    if (nParent == -1 || nParent >= nCapacity - 1) {
        // Put the cut back, so that a failure leaves the path whole for the caller.
        if (nParent == -1)
            *pSlash = '\\';
        return nParent;
    }
    const int nPosition = nParent + 1;
    pszPath[nParent] = '\\';
    std::strncpy(pszPath + nPosition, data.cFileName, static_cast<std::size_t>(nCapacity - nPosition));
    pszPath[nCapacity - 1] = '\0';
    return static_cast<int>(std::strlen(pszPath));
}
