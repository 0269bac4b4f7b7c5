// The file operations the package reader needs, so that it reads a plain file, a joined
// volume stream or a memory image alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ISeekableFile {
public:
    ISeekableFile() = default;
    ISeekableFile(const ISeekableFile&) = delete;
    ISeekableFile& operator=(const ISeekableFile&) = delete;
    virtual ~ISeekableFile() = default;

    // Opens the file for reading with exclusive sharing where the platform has it; false
    // when it cannot be opened.
    virtual bool Open(const std::string& strPath) = 0;
    // Returns the count of bytes read, which is short only at the end of the file. A
    // failing device raises CFileException.
    virtual std::size_t Read(void* pBuffer, std::size_t nCount) = 0;
    // Seeks from the beginning; a position past the end is allowed and reads nothing.
    virtual void Seek(std::uint64_t nPosition) = 0;
    virtual std::uint64_t GetLength() const = 0;
    virtual std::uint64_t GetPosition() const = 0;
    virtual void Close() = 0;
};
