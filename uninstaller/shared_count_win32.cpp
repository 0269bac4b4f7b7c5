#include "uninstaller/shared_count.h"

#include "engine/shared_file_counts.h"
#include "framework/reg_key.h"

SharedCount ReleaseSharedCount(const std::string& strPath)
{
    return ReleaseSharedCountIn(HKEY_LOCAL_MACHINE, kSharedDllsKey, strPath);
}

SharedCount ReleaseSharedCountIn(HKEY hRoot, const char* pszKey, const std::string& strPath)
{
    CRegKey key;
    const LONG nOpened = key.Open(hRoot, pszKey, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (nOpened == ERROR_FILE_NOT_FOUND)
        return SharedCount::None;
    if (nOpened != ERROR_SUCCESS)
        return SharedCount::Unreadable;
    DWORD nCount = 0;
    DWORD nSize = sizeof nCount;
    const LONG nRead = key.QueryValue(strPath.c_str(), nullptr, &nCount, nSize);
    if (nRead == ERROR_FILE_NOT_FOUND)
        return SharedCount::None;
    if (nRead != ERROR_SUCCESS || nSize != sizeof nCount)
        return SharedCount::Unreadable;
    if (nCount > 1) {
        // Should the lower count not be written, the file still stays: only a count that
        // is too high is left behind, never a file another program needs.
        key.SetDword(strPath.c_str(), nCount - 1);
        return SharedCount::StillUsed;
    }
    // A count of 0 or 1 goes whole: a count of 0 left beside a file would say nobody
    // needs it while it stays.
    return key.DeleteValue(strPath.c_str()) == ERROR_SUCCESS ? SharedCount::Released : SharedCount::StillUsed;
}
