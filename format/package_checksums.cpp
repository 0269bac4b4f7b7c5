#include "format/package_checksums.h"

#include <zlib.h>

#include <cstdio>

std::uint32_t FoldAdler32(std::uint32_t nAdler, const unsigned char* pData, std::size_t nCount)
{
    return static_cast<std::uint32_t>(adler32(nAdler, pData, static_cast<uInt>(nCount)));
}

std::uint32_t CombineAdler32(std::uint32_t nFirst, std::uint32_t nSecond, std::uint64_t nSecondLength)
{
    // adler32_combine only needs the second length modulo 65521; passing the remainder keeps
    // lengths beyond a 32-bit z_off_t (Windows) exact.
    return static_cast<std::uint32_t>(adler32_combine(nFirst, nSecond, static_cast<z_off_t>(nSecondLength % 65521u)));
}

std::string ChecksumText(std::uint32_t nChecksum)
{
    char szText[16];
    std::snprintf(szText, sizeof szText, "0x%08x", static_cast<unsigned>(nChecksum));
    return szText;
}

CStreamChecksums::CStreamChecksums(const SetupHeader& header, std::uint64_t nLength)
    : m_nLength(nLength),
      m_nSplit(static_cast<std::uint64_t>(header.fileSectionOffset) + kBlockHeaderSize),
      m_bSplit(m_nSplit >= kSetupHeaderSize && m_nSplit <= nLength),
      m_nNext(kSetupHeaderSize)
{
    if (!m_bSplit)
        m_nSplit = nLength;
}

void CStreamChecksums::Fold(std::uint64_t nPosition, const unsigned char* pData, std::size_t nCount)
{
    const std::uint64_t nEnd = nPosition + nCount;
    if (nPosition > m_nNext || nEnd <= m_nNext)
        return;
    const std::size_t nSkip = static_cast<std::size_t>(m_nNext - nPosition);
    pData += nSkip;
    std::size_t nLeft = nCount - nSkip;
    if (m_nNext < m_nSplit) {
        const std::uint64_t nRoom = m_nSplit - m_nNext;
        const std::size_t nBefore = nRoom < nLeft ? static_cast<std::size_t>(nRoom) : nLeft;
        m_nBefore = FoldAdler32(m_nBefore, pData, nBefore);
        pData += nBefore;
        nLeft -= nBefore;
    }
    if (nLeft > 0)
        m_nAfter = FoldAdler32(m_nAfter, pData, nLeft);
    m_nNext = nEnd;
}

std::uint32_t CStreamChecksums::DataChecksum() const
{
    return CombineAdler32(m_nBefore, m_nAfter, m_nLength - m_nSplit);
}
