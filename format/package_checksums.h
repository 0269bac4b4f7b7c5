// The package stream's two checksums, folded in one pass over the stream: dataChecksum
// covers every byte after the setup header, the file section header's checksum every byte
// after that header. Whoever reads the stream hands each chunk to Fold, in any order of
// reads: only bytes at the first position not folded yet count, so re-reads do no harm.
#pragma once

#include "format/package_records.h"

#include <cstddef>
#include <cstdint>
#include <string>

std::uint32_t FoldAdler32(std::uint32_t nAdler, const unsigned char* pData, std::size_t nCount);

// The Adler-32 of two byte runs one after the other, from the checksum of each.
std::uint32_t CombineAdler32(std::uint32_t nFirst, std::uint32_t nSecond, std::uint64_t nSecondLength);

// "0x0123abcd", for messages about checksums.
std::string ChecksumText(std::uint32_t nChecksum);

class CStreamChecksums {
public:
    CStreamChecksums(const SetupHeader& header, std::uint64_t nLength);

    // Bytes read at stream position nPosition.
    void Fold(std::uint64_t nPosition, const unsigned char* pData, std::size_t nCount);

    // The first stream position not folded yet; the stream's length once every byte is in.
    std::uint64_t NextPosition() const { return m_nNext; }
    bool IsComplete() const { return m_nNext >= m_nLength; }

    std::uint32_t DataChecksum() const;
    // False when the file section does not start inside the stream after the setup header;
    // its checksum then has to be read on its own.
    bool HasSectionChecksum() const { return m_bSplit; }
    std::uint32_t SectionChecksum() const { return m_nAfter; }

private:
    std::uint64_t m_nLength;
    std::uint64_t m_nSplit;
    bool m_bSplit;
    std::uint64_t m_nNext;
    std::uint32_t m_nBefore = 1;
    std::uint32_t m_nAfter = 1;
};
