// A file on disk behind the reader's seekable-file interface: the file of spdtool and of
// the tests on every platform, and of the setup program. On Windows it is the framework's
// file class, opened with exclusive sharing; elsewhere <cstdio>.
#pragma once

#include "format/seekable_file.h"

#include <memory>

// The platform's open file under CPlainFile (plain_file_posix.cpp, plain_file_win32.cpp).
class CSystemFile {
public:
    enum Mode { ReadOnly, CreateNew, ReadWrite, CreateReadWrite, CreateOnlyReadWrite };

    // Opens strPath; null when it cannot be opened (the file is missing, in use, ...).
    static std::unique_ptr<CSystemFile> Open(const std::string& strPath, Mode nMode);
    // The error code of the last failed call, for the exception's text.
    static long LastError();

    CSystemFile() = default;
    CSystemFile(const CSystemFile&) = delete;
    CSystemFile& operator=(const CSystemFile&) = delete;
    virtual ~CSystemFile() = default;

    // Each returns false on failure; Read reports in nRead what it read (short only at the end).
    virtual bool Read(void* pBuffer, std::size_t nCount, std::size_t& nRead) = 0;
    virtual bool Write(const void* pBuffer, std::size_t nCount) = 0;
    virtual bool Seek(std::uint64_t nPosition) = 0;
    virtual bool Measure(std::uint64_t& nLength) = 0;
    virtual bool Close() = 0;
};

class CPlainFile : public ISeekableFile {
public:
    CPlainFile();
    ~CPlainFile() override;

    // Read only, with exclusive sharing on Windows (POSIX has no mandatory sharing modes).
    bool Open(const std::string& strPath) override;
    // Creates or truncates the file for writing, exclusive on Windows.
    bool Create(const std::string& strPath);
    // Opens an existing file for reading and writing in place.
    bool OpenForUpdate(const std::string& strPath);
    // Creates or truncates the file for reading and writing, exclusive on Windows: a
    // temporary file that is written and then read back through the same handle.
    bool CreateReadWrite(const std::string& strPath);
    // The same for a file that is not there yet: false when one of that name exists. One
    // call where a test for the name and a create would look the name up twice.
    bool CreateOnlyReadWrite(const std::string& strPath);

    std::size_t Read(void* pBuffer, std::size_t nCount) override;
    // Raises CFileException when not every byte could be written (a full disk).
    void Write(const void* pBuffer, std::size_t nCount);
    void Seek(std::uint64_t nPosition) override;
    std::uint64_t GetLength() const override { return m_nLength; }
    std::uint64_t GetPosition() const override { return m_nPosition; }
    // Flushes written data; raises CFileException when that fails, so that a lost write
    // is never mistaken for a finished file.
    void Close() override;

    bool IsOpen() const { return m_pFile != nullptr; }
    const std::string& GetPath() const { return m_strPath; }

private:
    bool OpenMode(const std::string& strPath, CSystemFile::Mode nMode);

    std::unique_ptr<CSystemFile> m_pFile;
    std::string m_strPath;
    std::uint64_t m_nPosition = 0;
    std::uint64_t m_nLength = 0;
    bool m_bWritten = false;
};
