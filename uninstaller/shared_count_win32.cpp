#include "uninstaller/shared_count.h"

#include "engine/shared_file_counts.h"
#include "framework/reg_key.h"

SharedCount ReleaseSharedCount(const std::string& strPath)
{
    CRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kSharedDllsKey, KEY_QUERY_VALUE | KEY_SET_VALUE) != ERROR_SUCCESS)
        return SharedCount::None;
    DWORD nCount = 0;
    DWORD nSize = sizeof nCount;
    const LONG nRead = key.QueryValue(strPath.c_str(), nullptr, &nCount, nSize);
    if (nRead == ERROR_FILE_NOT_FOUND)
        return SharedCount::None;
    if (nRead != ERROR_SUCCESS || nSize != sizeof nCount)
        nCount = 1;
    if (nCount > 1) {
        // Should the lower count not be written, the file still stays: only a count that
        // is too high is left behind, never a file another program needs.
        key.SetDword(strPath.c_str(), nCount - 1);
        return SharedCount::StillUsed;
    }
    return key.DeleteValue(strPath.c_str()) == ERROR_SUCCESS ? SharedCount::Released : SharedCount::StillUsed;
}
