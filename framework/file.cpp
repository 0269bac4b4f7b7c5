#include "framework/file.h"

#include "framework/fault_point.h"

CFileException::Cause FileCauseFromOsError(DWORD dwError)
{
    switch (dwError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return CFileException::fileNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return CFileException::accessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return CFileException::sharingViolation;
    case ERROR_HANDLE_EOF:
        return CFileException::endOfFile;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return CFileException::diskFull;
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK:
        return CFileException::badSeek;
    default:
        return CFileException::genericException;
    }
}

void CFile::ThrowLastError(CFileException::Operation nOperation) const
{
    const DWORD dwError = GetLastError();
    throw new CFileException(FileCauseFromOsError(dwError), nOperation, m_strFileName, static_cast<long>(dwError));
}

void CFile::Open(const std::string& strFileName, unsigned nOpenFlags)
{
    m_hFile.Reset();
    m_strFileName = strFileName;

    DWORD dwAccess = GENERIC_READ;
    if ((nOpenFlags & modeWrite) != 0)
        dwAccess = GENERIC_WRITE;
    else if ((nOpenFlags & modeReadWrite) != 0)
        dwAccess = GENERIC_READ | GENERIC_WRITE;

    DWORD dwShare = 0;
    if ((nOpenFlags & shareDenyWrite) != 0)
        dwShare = FILE_SHARE_READ;
    else if ((nOpenFlags & shareDenyNone) != 0)
        dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

    DWORD dwCreation = OPEN_EXISTING;
    if ((nOpenFlags & modeCreateNew) != 0)
        dwCreation = CREATE_NEW;
    else if ((nOpenFlags & modeCreate) != 0)
        dwCreation = CREATE_ALWAYS;
    if (dwCreation != OPEN_EXISTING && InjectedFault(FaultKind::FileCreate) != 0)
        ThrowLastError(CFileException::opOpen);
    m_hFile.Reset(CreateFileA(strFileName.c_str(), dwAccess, dwShare, nullptr, dwCreation, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_hFile.IsValid()) {
        m_hFile.Release();
        ThrowLastError(CFileException::opOpen);
    }
}

unsigned CFile::Read(void* pBuffer, unsigned nCount)
{
    DWORD dwRead = 0;
    if (nCount != 0 && !ReadFile(m_hFile.Get(), pBuffer, nCount, &dwRead, nullptr))
        ThrowLastError(CFileException::opRead);
    return dwRead;
}

void CFile::Write(const void* pBuffer, unsigned nCount)
{
    DWORD dwWritten = 0;
    if (nCount == 0)
        return;
    if (InjectedFault(FaultKind::FileWrite) != 0 || !WriteFile(m_hFile.Get(), pBuffer, nCount, &dwWritten, nullptr))
        ThrowLastError(CFileException::opWrite);
    // A write that stops short without an error is a full disk.
    if (dwWritten != nCount)
        throw new CFileException(CFileException::diskFull, CFileException::opWrite, m_strFileName);
}

unsigned long long CFile::Seek(long long nOffset, SeekPosition nFrom)
{
    LARGE_INTEGER distance;
    distance.QuadPart = nOffset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile.Get(), distance, &position, static_cast<DWORD>(nFrom)))
        ThrowLastError(CFileException::opSeek);
    return static_cast<unsigned long long>(position.QuadPart);
}

unsigned long long CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile.Get(), &size))
        ThrowLastError(CFileException::opLength);
    return static_cast<unsigned long long>(size.QuadPart);
}

void CFile::Close()
{
    if (!m_hFile.IsValid())
        return;
    if (!CloseHandle(m_hFile.Release()))
        ThrowLastError(CFileException::opClose);
}
