// Where a stream of bytes goes: a file, a checksum, a buffer in memory, or nowhere.
#pragma once

#include "format/plain_file.h"

#include <cstddef>

class IByteSink {
public:
    virtual ~IByteSink() = default;
    virtual void Write(const unsigned char* pData, std::size_t nCount) = 0;
};

// Hands every byte to an open CPlainFile, which raises CFileException when a write fails.
class CPlainFileSink : public IByteSink {
public:
    explicit CPlainFileSink(CPlainFile& file) : m_file(file) {}
    void Write(const unsigned char* pData, std::size_t nCount) override { m_file.Write(pData, nCount); }

private:
    CPlainFile& m_file;
};
