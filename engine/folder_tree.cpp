#include "engine/folder_tree.h"

#include "engine/file_helpers.h"
#include "sys/message_text.h"

#include <windows.h>

bool CreateFolderTree(const std::string& strPath, std::vector<std::string>* pCreated)
{
    std::string strWork = strPath;
    if (strWork.empty() || strWork.back() != '\\')
        strWork += '\\';
    bool bDrivePart = true;
    for (std::size_t p = 0; p < strWork.size(); ++p) {
        // A double-byte character's second byte may be 0x5C, and is no separator.
        if (IsSystemLeadByte(static_cast<unsigned char>(strWork[p])) && p + 1 < strWork.size()) {
            ++p;
            continue;
        }
        if (strWork[p] != '\\')
            continue;
        const std::string strPrefix = strWork.substr(0, p);
        if (bDrivePart) {
            bDrivePart = false;
            if (GetDriveTypeA((strPrefix + '\\').c_str()) == DRIVE_NO_ROOT_DIR)
                return false;
            continue;
        }
        if (FolderExists(strPrefix))
            continue;
        if (!CreateFolder(strPrefix))
            return false;
        if (pCreated != nullptr)
            pCreated->push_back(strPrefix);
    }
    return true;
}

bool CreateRecordedFolder(const std::string& strPath, std::vector<std::string>& createdFolders)
{
    return FolderExists(strPath) || CreateFolderTree(strPath, &createdFolders);
}
