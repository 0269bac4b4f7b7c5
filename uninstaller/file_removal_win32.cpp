#include "uninstaller/file_removal.h"

#include <windows.h>

namespace {
bool IsMissing(DWORD nError)
{
    return nError == ERROR_FILE_NOT_FOUND || nError == ERROR_PATH_NOT_FOUND;
}

Removal DeferToRestart(const std::string& strPath)
{
    return MoveFileExA(strPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? Removal::AtRestart : Removal::Failed;
}
} // namespace

Removal RemoveFileOrDefer(const std::string& strPath)
{
    if (DeleteFileA(strPath.c_str()))
        return Removal::Removed;
    const DWORD nError = GetLastError();
    if (IsMissing(nError))
        return Removal::Removed;
    const DWORD nAttributes = GetFileAttributesA(strPath.c_str());
    // A folder where the log names a file is not the file the setup wrote.
    if (nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Removal::Failed;
    if (nError == ERROR_ACCESS_DENIED && nAttributes != INVALID_FILE_ATTRIBUTES &&
        (nAttributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        SetFileAttributesA(strPath.c_str(), nAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY)) &&
        DeleteFileA(strPath.c_str()))
        return Removal::Removed;
    return DeferToRestart(strPath);
}

Removal RemoveFolderOrDefer(const std::string& strPath, bool bDeferIfBusy)
{
    if (RemoveDirectoryA(strPath.c_str()) || IsMissing(GetLastError()))
        return Removal::Removed;
    // A delayed delete of a file would remove it whatever it holds: only folders are handed on.
    const DWORD nAttributes = GetFileAttributesA(strPath.c_str());
    const bool bFolder = nAttributes != INVALID_FILE_ATTRIBUTES && (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return bDeferIfBusy && bFolder ? DeferToRestart(strPath) : Removal::Failed;
}
