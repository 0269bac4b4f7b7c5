#include "format/package_folding_file.h"

#include "format/package_exception.h"

namespace {
// Gaps are the few bytes after a block's zlib stream or between sections: small reads.
constexpr std::size_t kGapChunk = 65536;
} // namespace

std::size_t CFoldingFile::Read(void* pBuffer, std::size_t nCount)
{
    const std::uint64_t nPosition = m_stream.GetPosition();
    if (nPosition > m_checksums.NextPosition())
        FoldUpTo(nPosition);
    const std::size_t nRead = m_stream.Read(pBuffer, nCount);
    m_checksums.Fold(nPosition, static_cast<const unsigned char*>(pBuffer), nRead);
    return nRead;
}

void CFoldingFile::FoldUpTo(std::uint64_t nEnd)
{
    const std::uint64_t nBack = m_stream.GetPosition();
    if (m_vecGap.empty())
        m_vecGap.resize(kGapChunk);
    m_stream.Seek(m_checksums.NextPosition());
    while (m_checksums.NextPosition() < nEnd) {
        const std::uint64_t nPosition = m_checksums.NextPosition();
        const std::uint64_t nLeft = nEnd - nPosition;
        const std::size_t nWant = nLeft < m_vecGap.size() ? static_cast<std::size_t>(nLeft) : m_vecGap.size();
        const std::size_t nRead = m_stream.Read(m_vecGap.data(), nWant);
        if (nRead == 0)
            ThrowPackageException(PHASE_PREPARING, CAUSE_DAMAGED, "package stream ends early", nPosition);
        m_checksums.Fold(nPosition, m_vecGap.data(), nRead);
    }
    m_stream.Seek(nBack);
}
