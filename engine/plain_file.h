// A file on disk over <cstdio>: the seekable file of the native programs and of spdtool.
#pragma once

#include "engine/seekable_file.h"

#include <cstdio>

class CPlainFile : public ISeekableFile {
public:
    CPlainFile() = default;
    ~CPlainFile() override;

    // Read only, with exclusive sharing on Windows (POSIX has no mandatory sharing modes).
    bool Open(const std::string& strPath) override;
    // Creates or truncates the file for writing, exclusive on Windows.
    bool Create(const std::string& strPath);
    // Opens an existing file for reading and writing in place.
    bool OpenForUpdate(const std::string& strPath);

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
    bool OpenMode(const std::string& strPath, const char* pszMode, bool bMeasure);

    std::FILE* m_pFile = nullptr;
    std::string m_strPath;
    std::uint64_t m_nPosition = 0;
    std::uint64_t m_nLength = 0;
    bool m_bWritten = false;
};
