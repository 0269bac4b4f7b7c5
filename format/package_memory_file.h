// A package image held in memory, read through the seekable-file interface (tests, fuzzer).
#pragma once

#include "format/seekable_file.h"

#include <cstring>
#include <utility>
#include <vector>

class CMemoryFile : public ISeekableFile {
public:
    // Reads bytes the caller keeps alive.
    CMemoryFile(const unsigned char* pData, std::size_t nSize) : m_pData(pData), m_nSize(nSize) {}
    // Reads its own copy.
    explicit CMemoryFile(std::vector<unsigned char> vecData)
        : m_vecOwned(std::move(vecData)), m_pData(m_vecOwned.data()), m_nSize(m_vecOwned.size()) {}

    // The image is always there: opening only rewinds (the path names nothing).
    bool Open(const std::string&) override
    {
        m_nPosition = 0;
        return true;
    }

    std::size_t Read(void* pBuffer, std::size_t nCount) override
    {
        if (m_nPosition >= m_nSize)
            return 0;
        std::size_t nLeft = static_cast<std::size_t>(m_nSize - m_nPosition);
        std::size_t n = nCount < nLeft ? nCount : nLeft;
        if (n > 0)
            std::memcpy(pBuffer, m_pData + m_nPosition, n);
        m_nPosition += n;
        return n;
    }

    void Seek(std::uint64_t nPosition) override { m_nPosition = nPosition; }
    std::uint64_t GetLength() const override { return m_nSize; }
    std::uint64_t GetPosition() const override { return m_nPosition; }
    void Close() override {}

private:
    std::vector<unsigned char> m_vecOwned;
    const unsigned char* m_pData;
    std::size_t m_nSize;
    std::uint64_t m_nPosition = 0;
};
