// The file helpers over Win32's file functions.
#include "engine/file_helpers.h"

#include "framework/fault_point.h"
#include "framework/handle.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

bool FileExists(const std::string& strPath)
{
    // The open that OpenFile(OF_EXIST) makes, without its limit of 127 bytes per path:
    // setup files may lie anywhere a 260-byte path reaches.
    const CHandle hFile(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return hFile.IsValid();
}

bool FolderExists(const std::string& strPath)
{
    const DWORD nNeeded = GetCurrentDirectoryA(0, nullptr);
    std::string strPrevious(nNeeded, '\0');
    const DWORD nLength = GetCurrentDirectoryA(nNeeded, &strPrevious[0]);
    if (!SetCurrentDirectoryA(strPath.c_str()))
        return false;
    if (nLength > 0 && nLength < nNeeded)
        SetCurrentDirectoryA(strPrevious.c_str());
    return true;
}

bool StripToFileName(std::string& strPath)
{
    for (char& ch : strPath) {
        if (ch == '/')
            ch = '\\';
    }
    std::size_t nCut = strPath.rfind('\\');
    if (nCut == std::string::npos)
        nCut = strPath.rfind(':');
    if (nCut == std::string::npos)
        return false;
    strPath.erase(0, nCut + 1);
    return true;
}

std::string PathInFolder(const std::string& strFolder, const std::string& strSource)
{
    std::string strName = strSource;
    StripToFileName(strName);
    std::string strPath = strFolder;
    if (strPath.empty() || strPath.back() != '\\')
        strPath += '\\';
    return strPath + strName;
}

bool CreateFolder(const std::string& strPath)
{
    return InjectedFault(FaultKind::FolderCreate) == 0 && CreateDirectoryA(strPath.c_str(), nullptr);
}

bool CopyOneFile(const std::string& strSource, const std::string& strTarget, bool bFailIfExists)
{
    return InjectedFault(FaultKind::FileCopy) == 0 && CopyFileA(strSource.c_str(), strTarget.c_str(), bFailIfExists);
}

bool MoveAtNextStart(const std::string& strSource, const std::string& strTarget)
{
    return InjectedFault(FaultKind::DelayedMove) == 0 &&
           MoveFileExA(strSource.c_str(), strTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT);
}

namespace {
bool SameSize(const std::string& strFirst, const std::string& strSecond)
{
    WIN32_FILE_ATTRIBUTE_DATA first;
    WIN32_FILE_ATTRIBUTE_DATA second;
    return GetFileAttributesExA(strFirst.c_str(), GetFileExInfoStandard, &first) &&
           GetFileAttributesExA(strSecond.c_str(), GetFileExInfoStandard, &second) &&
           first.nFileSizeHigh == second.nFileSizeHigh && first.nFileSizeLow == second.nFileSizeLow;
}
} // namespace

int CopyToFolder(const std::string& strSource, const std::string& strFolder, bool bFailIfExists)
{
    const std::string strTarget = PathInFolder(strFolder, strSource);
    // A copy of the same size is taken to be this file, copied before.
    if (bFailIfExists && FileExists(strTarget))
        return SameSize(strSource, strTarget) ? 1 : -1;
    return CopyOneFile(strSource, strTarget, bFailIfExists) ? 0 : -1;
}

void MakeRandomName(std::string& strText, unsigned nLength)
{
    strText.assign(nLength, 'a');
    for (char& ch : strText)
        ch = static_cast<char>('a' + std::rand() % 26);
}

void SeedRandomNames()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}
