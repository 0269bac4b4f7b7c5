#include "engine/shared_file_counts.h"

#include "engine/registry_before_image.h"
#include "framework/reg_key.h"
#include "sys/my_exception.h"

void CountSharedFiles(const std::vector<std::string>& sharedFiles, std::vector<CRegistryBefore>& vecBefore)
{
    CountSharedFilesIn(HKEY_LOCAL_MACHINE, kSharedDllsKey, sharedFiles, vecBefore);
}

void CountSharedFilesIn(HKEY hRoot, const char* pszKey, const std::vector<std::string>& sharedFiles,
                        std::vector<CRegistryBefore>& vecBefore)
{
    for (const std::string& strPath : sharedFiles) {
        CRegKey key;
        if (key.Open(hRoot, pszKey, kSharedDllsAccess) != ERROR_SUCCESS)
            ThrowMyException();
        // Whatever type the value was stored with, its first four bytes are the count. The
        // size is offered afresh for every file: a larger value before must not make the next
        // read believe in a larger buffer.
        DWORD nCount = 0;
        DWORD nSize = sizeof nCount;
        if (key.QueryValue(strPath.c_str(), nullptr, &nCount, nSize) != ERROR_SUCCESS)
            nCount = 0;
        NoteValueBefore(vecBefore, hRoot, pszKey, strPath);
        if (key.SetDword(strPath.c_str(), nCount + 1) != ERROR_SUCCESS)
            ThrowMyException();
    }
}
