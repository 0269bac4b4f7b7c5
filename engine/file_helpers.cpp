// The file helpers over Win32's file functions.
#include "engine/file_helpers.h"

#include "framework/fault_point.h"
#include "framework/handle.h"

#include <windows.h>

#include <cstdlib>
#include <new>
#include <vector>

bool FileExists(const std::string& strPath, bool* pbThere)
{
    // The open that OpenFile(OF_EXIST) makes, without its limit of 127 bytes per path:
    // setup files may lie anywhere a 260-byte path reaches.
    const CHandle hFile(CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (pbThere != nullptr) {
        // Held, or not ours to read: something is there. A missing name or folder, or a
        // name the system refuses, is nothing.
        const DWORD nError = hFile.IsValid() ? ERROR_SUCCESS : GetLastError();
        *pbThere = nError == ERROR_SUCCESS || nError == ERROR_SHARING_VIOLATION || nError == ERROR_LOCK_VIOLATION ||
                   nError == ERROR_ACCESS_DENIED;
    }
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

constexpr DWORD kCopyChunkSize = 524288;

// The copy CopyFileA would make, read and written by the program itself so that
// eachChunk can run between two chunks. A target left half written is removed.
bool CopyInChunks(const std::string& strSource, const std::string& strTarget, bool bFailIfExists,
                  const std::function<void()>& eachChunk)
{
    if (InjectedFault(FaultKind::FileCopy) != 0)
        return false;
    const CHandle hSource(CreateFileA(strSource.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!hSource.IsValid())
        return false;
    bool bCopied = false;
    {
        const CHandle hTarget(CreateFileA(strTarget.c_str(), GENERIC_WRITE, 0, nullptr,
                                          bFailIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!hTarget.IsValid())
            return false;
        std::vector<unsigned char> buffer;
        try {
            buffer.resize(kCopyChunkSize);
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (;;) {
            DWORD nRead = 0;
            if (!ReadFile(hSource.Get(), buffer.data(), kCopyChunkSize, &nRead, nullptr))
                break;
            if (nRead == 0) {
                bCopied = true;
                break;
            }
            eachChunk();
            DWORD nWritten = 0;
            if (!WriteFile(hTarget.Get(), buffer.data(), nRead, &nWritten, nullptr) || nWritten != nRead)
                break;
        }
    }
    if (!bCopied)
        DeleteFileA(strTarget.c_str());
    return bCopied;
}
} // namespace

int CopyToFolder(const std::string& strSource, const std::string& strFolder, bool bFailIfExists,
                 const std::function<void()>& eachChunk)
{
    const std::string strTarget = PathInFolder(strFolder, strSource);
    // A copy of the same size is taken to be this file, copied before.
    if (bFailIfExists && FileExists(strTarget))
        return SameSize(strSource, strTarget) ? 1 : -1;
    if (eachChunk)
        return CopyInChunks(strSource, strTarget, bFailIfExists, eachChunk) ? 0 : -1;
    return CopyOneFile(strSource, strTarget, bFailIfExists) ? 0 : -1;
}

void MakeRandomName(std::string& strText, unsigned nLength)
{
    strText.assign(nLength, 'a');
    for (char& ch : strText)
        ch = static_cast<char>('a' + std::rand() % 26);
}
