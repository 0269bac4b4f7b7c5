#include "engine/folder_lists.h"

#include "engine/file_helpers.h"
#include "engine/short_path.h"
#include "engine/sort_texts.h"

#include <windows.h>

namespace {
// Runs removeOne on every entry; the list keeps the entries it failed on.
template <typename Remove>
bool KeepFailures(std::vector<std::string>& vecEntries, Remove removeOne)
{
    std::vector<std::string> vecFailures;
    for (const std::string& strEntry : vecEntries) {
        if (!removeOne(strEntry))
            vecFailures.push_back(strEntry);
    }
    vecEntries.swap(vecFailures);
    return vecEntries.empty();
}

// The short form in upper case: one spelling per folder, whatever case and length the
// path was recorded in, so that the sort puts every sub-folder before its parent.
std::string FolderKey(const std::string& strFolder)
{
    std::string strKey = ShortPathOf(strFolder);
    if (!strKey.empty())
        CharUpperBuffA(&strKey[0], static_cast<DWORD>(strKey.size()));
    return strKey;
}
} // namespace

bool DeleteFileList(std::vector<std::string>& vecFiles)
{
    return KeepFailures(vecFiles, [](const std::string& strFile) { return DeleteFileA(strFile.c_str()) != FALSE; });
}

bool RemoveFolderList(std::vector<std::string>& vecFolders)
{
    std::vector<std::string> vecExisting;
    for (const std::string& strFolder : vecFolders) {
        if (FolderExists(strFolder))
            vecExisting.push_back(FolderKey(strFolder));
    }
    SortTexts(vecExisting, true);
    vecFolders.swap(vecExisting);
    return KeepFailures(vecFolders,
                        [](const std::string& strFolder) { return RemoveDirectoryA(strFolder.c_str()) != FALSE; });
}
