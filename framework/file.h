// Files opened through the system with an explicit sharing mode. Every failure of an
// open, read, write or seek is thrown as a new CFileException naming the file.
#pragma once

#include "framework/exception.h"
#include "framework/handle.h"

#include <windows.h>

#include <string>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareExclusive = 0x0010, // share mode 0: nobody else may open the file at all
        shareDenyWrite = 0x0020,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000, // create, or empty an existing file
        modeCreateNew = 0x2000, // create; fail when the file exists
    };
    enum SeekPosition { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

    CFile() = default;
    CFile(const std::string& strFileName, unsigned nOpenFlags) { Open(strFileName, nOpenFlags); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() = default;

    void Open(const std::string& strFileName, unsigned nOpenFlags);

    // Reads up to nCount bytes; fewer only at the end of the file.
    unsigned Read(void* pBuffer, unsigned nCount);
    // Writes all nCount bytes or throws.
    void Write(const void* pBuffer, unsigned nCount);
    // Moves the file pointer; returns the new position from the start.
    unsigned long long Seek(long long nOffset, SeekPosition nFrom);
    unsigned long long GetLength() const;
    void Close();

    bool IsOpen() const { return m_hFile.IsValid(); }
    const std::string& GetFilePath() const { return m_strFileName; }
    HANDLE GetHandle() const { return m_hFile.Get(); }

private:
    [[noreturn]] void ThrowLastError(CFileException::Operation nOperation) const;

    CHandle m_hFile;
    std::string m_strFileName;
};

// The exception's cause for a system error code.
CFileException::Cause FileCauseFromOsError(DWORD dwError);
